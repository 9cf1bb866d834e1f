// Texts for the garbage and oversized faults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Notices a client must survive: unknown objects, recorded real notices it has
// no use for, look-alikes of its own notices that do not parse, control and
// high bytes, a run of noise. None holds a zero byte, and none carries a word
// Orvanta acts on (ONLINE, LOGGEDOUT, STATUS FINISHED, DURATION, the STREAMS
// of our application, VIDEO_RECEIVE_STATUS), so a flood of them changes nothing.
std::vector<std::string> GarbageNotices();

// Words that make a notice do something in Orvanta.
const std::vector<std::string>& ActiveWords();

// `head` filled up with digits to exactly `bytes` bytes (cut when head is longer).
std::string OversizedNotice(std::size_t bytes, std::string_view head);

}  // namespace standin
