#include "FaultTexts.h"

#include <cstdint>

#include "RobotAccount.h"

namespace standin {
namespace {

// Printable noise from a fixed seed, so every run sends the same bytes.
std::string Noise(std::size_t length)
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 :$|*_#=.,-";
    std::uint32_t state = 0x2545F491u;
    std::string out;
    while (out.size() < length) {
        state = state * 1664525u + 1013904223u;
        out += kAlphabet[(state >> 16) % (sizeof kAlphabet - 1)];
    }
    return out;
}

}  // namespace

const std::vector<std::string>& ActiveWords()
{
    static const std::vector<std::string> kWords = {
        "ONLINE",
        "LOGGEDOUT",
        "STATUS FINISHED",
        "DURATION",
        "VIDEO_RECEIVE_STATUS",
        std::string("APPLICATION ") + kApplicationName + " STREAMS ",
    };
    return kWords;
}

std::vector<std::string> GarbageNotices()
{
    const std::string app = std::string("APPLICATION ") + kApplicationName;
    const std::string robot = kRobotAccount;
    return {
        // Real notices of things Orvanta never asked about.
        "CONTACTS FOCUSED ",
        "USER echo123 COUNTRY jp Japan",
        "PRIVILEGE SKYPEOUT TRUE",
        "PROFILE PSTN_BALANCE 1000000",
        "PROFILE MOOD_TEXT Please, enjoy 'Skype API for Java'.",
        "CALL 19502 CONF_ID 11676",
        "CALL 8345 PARTNER_HANDLE echo123",
        "CALL 8345 TYPE OUTGOING_P2P",
        "CALL 1402 VAA_INPUT_STATUS FALSE",
        "CHATMESSAGE 17 STATUS RECEIVED",
        "SKYPEVERSION 2.5.0.130",
        "#7 ERROR 2 Unknown command",
        "ERROR 551 ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier",
        // Cut or bent versions of the notices Orvanta reads.
        "APPLICATION",
        app,
        app + " DATAGRAM",
        app + " DATAGRAM " + robot,
        app + " DATAGRAM " + robot + ":x Msg$WMRP_D|X1Y1Z1P1R1G1",
        app + " DATAGRAM " + robot + ":1",
        app + " SENDING " + robot + ":1=11",
        app + " RECEIVED " + robot + ":1=4",
        app + " CONNECTING ",
        "APPLICATION othergame STREAMS someone:3",
        "Msg$WMRP_D|X1Y2Z3P4R5G6",
        "CALL",
        "CALL x STATUS",
        "CALL 1402 VIDEO_SEND_STATUS RUNNING",
        "USERSTATUS",
        "CONNSTATUS",
        // Bytes no text should hold.
        "\t\r\n",
        "\x01\x02\x1b[0m\x7f",
        "\x80\xfe\xff \xc3\x28 \xe2\x82",
        " ",
        Noise(200),
    };
}

std::string OversizedNotice(std::size_t bytes, std::string_view head)
{
    std::string text(head.substr(0, bytes));
    for (std::size_t digit = 0; text.size() < bytes; ++digit)
        text += static_cast<char>('0' + digit % 10);
    return text;
}

}  // namespace standin
