#include "NotesTool.h"

#include "Classes/AppContext.h"
#include "Classes/AppDelegate.h"
#include "Classes/AudioController.h"
#include "Classes/ExportingController.h"
#include "Classes/FtpPassword.h"
#include "Classes/MicrophoneLevel.h"
#include "Classes/NoteSearch.h"
#include "Classes/PlistController.h"
#include "Classes/UploadFailure.h"
#include "Classes/UploadReport.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/Bundle.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/JsonWriter.h"
#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/core/TerminationSignals.h"
#include "platform/core/Timer.h"
#include "platform/net/CertificateKey.h"
#include "platform/net/ServerAddress.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

constexpr double kPollInterval = 0.2;
// A day: longer than any recording a file can hold at the highest rate.
constexpr std::uint64_t kMostSeconds = 86400;
// A sound device that takes nothing for this long has stopped for good.
constexpr double kStallSeconds = 5.0;
// What each command takes: how many plain arguments, which options with a
// value, which without, and how its usage reads.
struct CommandShape {
    std::string name;
    std::size_t plainArguments;
    std::vector<std::string> optionsWithValue;
    std::vector<std::string> flags;
    const char* usage;
    const char* description;
};

const std::vector<CommandShape> kShapes = {
    {"list",
     0,
     {"--search"},
     {"--json"},
     "list [--search WORDS] [--json]",
     "      the notes, newest first: index, title, date, length, colour;\n"
     "      with --search, those whose name or text holds every word\n"
     "      (whatever the case and accents)\n"},
    {"record",
     0,
     {"--seconds"},
     {},
     "record --seconds N",
     "      records a note of N seconds (1 to 86400) and prints its file's name\n"},
    {"play", 1, {}, {}, "play INDEX", "      plays the note with that index to its end\n"},
    {"export",
     1,
     {"--host", "--user", "--trust"},
     {},
     "export INDEX --host H --user U [--trust SHA256:KEY]",
     "      sends the note's audio file to an FTP, SFTP or WebDAV server; the\n"
     "      password comes from VOICENOTES_FTP_PASSWORD or the remembered settings\n"},
};

const CommandShape& shapeOf(const std::string& command)
{
    return *std::find_if(kShapes.begin(), kShapes.end(), [&](const auto& shape) { return shape.name == command; });
}

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A field of a tab-separated line: tabs, line breaks and backslashes of a
// name another program wrote are escaped, so one note stays one line.
std::string fieldText(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string dateText(const NoteRecord& note)
{
    auto date = NoteField::date(note, NoteKey::Date);
    if (!date)
        return {};
    core::DateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd HH:mm:ss");
    return formatter.stringFromDate(*date);
}

} // namespace

std::string NotesTool::commandsUsage()
{
    std::string text = "\nCommands (on the same notes as the window, which may be open):\n";
    for (const auto& shape : kShapes)
        text += "  voicenotes [options] " + std::string(shape.usage) + "\n" + shape.description;
    return text;
}

bool NotesTool::isCommand(const std::vector<std::string>& arguments)
{
    return !arguments.empty()
        && std::any_of(kShapes.begin(), kShapes.end(), [&](const auto& shape) { return shape.name == arguments[0]; });
}

std::optional<std::string> NotesTool::option(const std::vector<std::string>& arguments, const std::string& name)
{
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == name)
            return arguments[i + 1];
    }
    return std::nullopt;
}

std::optional<std::uint64_t> NotesTool::wholeNumber(const std::string& text, std::uint64_t most)
{
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > most)
        return std::nullopt;
    return value;
}

std::optional<std::size_t> NotesTool::index(const std::vector<std::string>& arguments)
{
    return arguments.size() < 2 ? std::nullopt : wholeNumber(arguments[1], std::numeric_limits<std::size_t>::max());
}

int NotesTool::usage(const std::string& problem)
{
    std::fprintf(stderr, "voicenotes: %s\n", problem.c_str());
    return 2;
}

std::optional<std::string> NotesTool::strayArgument(const std::vector<std::string>& arguments)
{
    const CommandShape& shape = shapeOf(arguments[0]);
    std::size_t plain = 0;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (contains(shape.optionsWithValue, argument))
            ++i;
        else if (!contains(shape.flags, argument) && (argument.starts_with("-") || ++plain > shape.plainArguments))
            return argument;
    }
    return std::nullopt;
}

int NotesTool::run(const std::vector<std::string>& arguments)
{
    core::Log::sendProgressToStandardError();
    const std::string& command = arguments[0];
    if (auto stray = strayArgument(arguments))
        return usage(command + " does not take " + *stray + "; usage: voicenotes " + shapeOf(command).usage);
    // Only a command that changes the notes makes or repairs the store: the
    // others read it as it is.
    if (command == "record") {
        AppDelegate::prepareStoreAndDefaults(m_context);
        AppDelegate::recoverRecordings(m_context);
    }
    if (command == "list") {
        auto search = option(arguments, "--search");
        if (!search && contains(arguments, "--search"))
            return usage("list --search needs the words to look for");
        return list(search.value_or(""), contains(arguments, "--json"));
    }
    if (command == "record") {
        auto seconds = option(arguments, "--seconds");
        auto value = seconds ? wholeNumber(*seconds, kMostSeconds) : std::nullopt;
        return value && *value > 0
            ? record(int(*value))
            : usage("record needs --seconds N, a whole number of seconds from 1 to " + std::to_string(kMostSeconds));
    }
    auto note = index(arguments);
    if (!note)
        return usage(command + " needs the index of a note, a whole number (see: voicenotes list)");
    if (command == "play")
        return play(*note);
    auto host = option(arguments, "--host");
    auto user = option(arguments, "--user");
    if (!host || !user)
        return usage("export needs --host H and --user U");
    if (!net::ServerAddress::parse(*host))
        return usage("--host " + *host + " is no FTP address: host, host:port or [IPv6]:port, then /folder if wanted");
    auto trust = option(arguments, "--trust");
    auto trusted = trust ? net::CertificateKey::parseFingerprint(*trust) : std::optional<std::string>("");
    if (!trusted)
        return usage("--trust takes a key's fingerprint as this command prints it: SHA256: and 44 characters");
    return exportNote(*note, {*host, *user, *trusted});
}

int NotesTool::list(const std::string& search, bool json)
{
    PlistController store(m_context);
    auto notes = store.storeState() == PlistController::StoreState::Missing ? PlistController::NoteList{}
                                                                            : store.getPlistObject();
    if (!notes) {
        std::fprintf(stderr,
                     "voicenotes: the notes cannot be listed: data.plist cannot be read (it is left as it is)\n");
        return 1;
    }
    auto listed = std::make_shared<const PlistController::NoteList>(std::move(*notes));
    NoteSearch found;
    found.setText(search);
    core::JsonWriter all;
    // The index is the note's place among all notes, as the other commands take it.
    for (std::size_t i : found.matches(listed)) {
        const NoteRecord* note = (*listed)[i].dictionary();
        NoteRecord empty;
        const NoteRecord& record = note ? *note : empty;
        std::string title = NoteField::string(record, NoteKey::Title);
        std::string icon = NoteField::string(record, NoteKey::Icon);
        if (!json) {
            std::printf("%zu\t%s\t%s\t%s\t%s\n", i, fieldText(title).c_str(), dateText(record).c_str(),
                        NoteField::lengthText(record).c_str(), fieldText(icon).c_str());
            continue;
        }
        all.beginObject();
        all.add("index", std::int64_t(i));
        all.add("title", title);
        all.add("date", dateText(record));
        all.add("length", NoteField::lengthText(record));
        all.add("icon", icon);
    }
    if (json)
        std::printf("%s\n", all.text().c_str());
    return 0;
}

void NotesTool::runUntil(const std::function<bool()>& done)
{
    auto poll = core::Timer::scheduledTimer(m_context.runLoop(), kPollInterval, true, [&](core::Timer&) {
        if (done())
            m_context.runLoop().quit(0);
    });
    m_context.runLoop().run();
    poll->invalidate();
}

int NotesTool::record(int seconds)
{
    AudioController recorder(m_context.audioDevice(), m_context.defaults(), m_context.runLoop());
    recorder.startRecording();
    if (!recorder.recordState().recording) {
        recorder.stopRecording();
        std::fprintf(
            stderr, "voicenotes: %s\n",
            core::localizedString(m_context.audioDevice().hasInput() ? "Recording Failed" : "No Microphone").c_str());
        return 1;
    }
    auto wanted = std::int64_t(seconds * recorder.recordState().dataFormat.mSampleRate);
    recorder.limitRecording(wanted);
    double start = m_context.runLoop().monotonicTime();
    // Ctrl-C or SIGTERM ends the recording early; the note is kept, as the
    // window keeps it.
    bool interrupted = false;
    core::TerminationSignals termination(m_context.runLoop(), [&interrupted] { interrupted = true; });
    // Until the device has delivered the seconds asked for, not until they
    // have passed: a sound server's first buffers come late, and the note
    // would be that much shorter. One that stalls ends it all the same.
    bool stalled = false;
    bool saidSilent = false;
    // The level is heard as the window's meter hears it; a muted input is said at once.
    MicrophoneLevel level;
    runUntil([&] {
        level.update(recorder.inputLevel(), int(recorder.recordState().dataFormat.mSampleRate));
        if (level.silent() && !std::exchange(saidSilent, true))
            std::fprintf(stderr, "voicenotes: %s\n", level.text().c_str());
        bool delivered = recorder.recordState().capturedPackets >= wanted;
        stalled = !delivered && m_context.runLoop().monotonicTime() - start >= seconds + kStallSeconds;
        return interrupted || recorder.deviceLost() || stalled || delivered;
    });
    recorder.stopRecording();
    std::uint64_t length = recorder.recordedSeconds();
    if (auto failure = PlistController(m_context).saveObject(std::int64_t(length / 60), std::int64_t(length % 60),
                                                             recorder.recordName(),
                                                             std::uint64_t(recorder.numPacketsToRead()))) {
        std::fprintf(stderr, "voicenotes: the note could not be stored; the recording is kept as %s (%s)\n",
                     recorder.recordName().c_str(), failure->words.c_str());
        return 1;
    }
    std::printf("%s\n", recorder.recordName().c_str());
    if (level.loudestRmsDecibels() > audio::InputLevel::kSilence)
        std::fprintf(stderr, "voicenotes: loudest level %.1f dBFS RMS\n", level.loudestRmsDecibels());
    else
        std::fprintf(stderr, "voicenotes: the microphone delivered nothing but silence\n");
    if (stalled && !recorder.deviceLost()) {
        std::fprintf(stderr,
                     "voicenotes: the sound input delivered %llu s of the %d s asked for; the note keeps them\n",
                     static_cast<unsigned long long>(length), seconds);
        return 1;
    }
    if (!recorder.deviceLost())
        return 0;
    std::fprintf(stderr, "voicenotes: the sound input went away; the note keeps the %llu s recorded until then\n",
                 static_cast<unsigned long long>(length));
    return 1;
}

int NotesTool::play(std::size_t index)
{
    auto note = PlistController(m_context).loadObject(index);
    if (!note)
        return usage("there is no note " + std::to_string(index));
    auto rate = NoteField::integer(*note, NoteKey::SampleRate).value_or(0);
    auto packets = NoteField::integer(*note, NoteKey::NumPackets).value_or(0);
    AudioController player(m_context.audioDevice(), m_context.defaults(), m_context.runLoop());
    player.setSampleRate(rate > 0 ? int(rate) : 8000);
    player.startPlayback(NoteField::string(*note, NoteKey::Path));
    // No queue: the file or the sound output could not be opened (logged).
    if (!player.playState().queue) {
        if (!m_context.audioDevice().hasOutput())
            std::fprintf(stderr, "voicenotes: %s\n", core::localizedString("No Sound Output").c_str());
        return 1;
    }
    // As the list's ring does: done once the last sound was heard.
    auto& loop = m_context.runLoop();
    std::int64_t heard = -1;
    double lastProgress = loop.monotonicTime();
    bool stalled = false;
    runUntil([&] {
        if (player.playedPacket() != heard) {
            heard = player.playedPacket();
            lastProgress = loop.monotonicTime();
        }
        stalled = loop.monotonicTime() - lastProgress > kStallSeconds;
        return player.playbackEnded() || stalled;
    });
    player.stopPlayback();
    if (!player.deviceLost() && !stalled)
        return 0;
    std::fprintf(stderr, "voicenotes: the sound output %s after %.1f of %.1f s\n",
                 stalled ? "stopped taking sound" : "went away", double(heard) / player.sampleRate(),
                 double(packets) / player.sampleRate());
    return 1;
}

int NotesTool::exportNote(std::size_t index, const Destination& destination)
{
    auto note = PlistController(m_context).loadObject(index);
    if (!note)
        return usage("there is no note " + std::to_string(index));
    const char* fromEnvironment = std::getenv("VOICENOTES_FTP_PASSWORD");
    auto password = fromEnvironment ? std::optional<std::string>(fromEnvironment)
                                    : FtpPassword(m_context.defaults()).stored();
    if (!password)
        return usage("no password: set VOICENOTES_FTP_PASSWORD or send once from the window");
    ExportingController engine(m_context);
    engine.setTrustedKey(destination.trustedKey);
    // The end of the upload ends the wait at once.
    engine.setUploadEndedHandler([this] { m_context.runLoop().quit(0); });
    if (!engine.sendFile(NoteField::string(*note, NoteKey::Path), destination.host, destination.user, *password,
                         NoteField::string(*note, NoteKey::Title))) {
        std::fprintf(stderr,
                     "voicenotes: the file cannot be sent: the note's audio file cannot be read, or the user "
                     "name or password holds a control character\n");
        return 1;
    }
    m_context.runLoop().run();
    engine.checkWriteStreamStatus();
    UploadReport state = engine.report();
    if (!engine.checkError()) {
        if (state.inClear)
            std::fprintf(stderr, "voicenotes: sent, not encrypted: %s offers no encryption\n", state.server.c_str());
        std::string path = NoteField::string(*note, NoteKey::Path);
        if (!state.storedName.empty() && !path.ends_with(state.storedName))
            std::fprintf(stderr, "voicenotes: sent as %s: a file of the note's name was there already\n",
                         state.storedName.c_str());
        return 0;
    }
    std::fprintf(stderr, "voicenotes: %s\n", state.error.value_or(core::Error{}).words.c_str());
    if (UploadFailure::asksForTrust(state))
        std::fprintf(stderr, "voicenotes: to trust it, send again with --trust %s\n", state.presentedKey.c_str());
    return 1;
}
