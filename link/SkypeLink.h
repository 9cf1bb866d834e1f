// The two sides of the link to Skype, as the link controller sees them: what it
// asks of the Skype channel, and what the channel hands on. No window type here.
#pragma once
#include <cstdint>

// The commands that go out to Skype.
class ISkypeCommands {
public:
    // Synchronous: Skype's notices in answer to it can arrive, nested, before it
    // returns.
    virtual void Send(const char* command) = 0;
    // The same for a command the arm must get (a jog stop, the client leaving):
    // it always gets the full time limit, and one that runs out of it all the
    // same goes once more as soon as Skype answers a command in time again.
    virtual void SendVital(const char* command) = 0;
    // The discovery broadcast; false when nobody took it.
    virtual bool Discover() = 0;

protected:
    ~ISkypeCommands() = default;
};

// Whoever the channel hands Skype's answers to.
class ISkypeListener {
public:
    // An attachment answer (kAttachSuccess ...); on success the channel has
    // learnt Skype's window before this runs.
    virtual void OnAttachAnswer(std::intptr_t status) = 0;
    // A notice from the attached Skype window: its text, at most 1024 characters.
    virtual void OnSkypeNotice(const char* notice) = 0;
    // Skype's window has gone (the client quit or died): a command could not
    // reach it, and the channel has forgotten it until Skype attaches us again.
    virtual void OnSkypeGone() = 0;

protected:
    ~ISkypeListener() = default;
};
