/* The Skype Desktop API as far as it is shared by the program, the stand-in
 * Skype client, the tests and the benchmark floor: the names of the two
 * registered window messages and the attachment statuses. No window header:
 * each side registers the names with its own window system. Plain C as well,
 * for the floor. */
#pragma once

/* Broadcast by a client with its window as wParam; Skype answers with an attach
 * message. */
static const char kSkypeDiscoverMessageName[] = "SkypeControlAPIDiscover";
/* Skype's attachment answers: wParam its API window, lParam a status below. */
static const char kSkypeAttachMessageName[] = "SkypeControlAPIAttach";

/* The attachment statuses: lParam of the attach message. */
enum SkypeAttachStatus {
    kAttachSuccess = 0,
    kAttachPendingAuthorization = 1,
    kAttachRefused = 2,
    kAttachNotAvailable = 3,
    /* broadcast to every top-level window when a user logs in */
    kAttachApiAvailable = 0x8001
};
