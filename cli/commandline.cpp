// parvex-cli's subcommands and options: parses the arguments into a checked request.
#include "commandline.h"

#include "leadinginteger.h"
#include "timeargument.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#ifndef PARVEX_VERSION_MAJOR
#error "PARVEX_VERSION_MAJOR and PARVEX_VERSION_MINOR come from the build"
#endif
#define PARVEX_STRINGIFY2(x) #x
#define PARVEX_STRINGIFY(x) PARVEX_STRINGIFY2(x)

namespace {

constexpr std::string_view kVersion = "parvex-cli " PARVEX_STRINGIFY(
    PARVEX_VERSION_MAJOR) "." PARVEX_STRINGIFY(PARVEX_VERSION_MINOR);

constexpr std::string_view kInfoUsage = "parvex-cli info SOURCE";
constexpr std::string_view kCutUsage
    = "parvex-cli cut SOURCE START END -o OUTPUT [-y] [--duration SECONDS | --exact]";
constexpr std::string_view kPartsUsage = "parvex-cli parts SOURCE COUNT [-d FOLDER] [--exact]";
constexpr std::string_view kEveryUsage
    = "parvex-cli every SOURCE SECONDS [-d FOLDER] [--duration SECONDS | --exact]";

const CLI::Validator& timeValidator()
{
    static const CLI::Validator validator(
        [](std::string& text) {
            std::string error;
            return ParseTimeArgument(text, &error) ? std::string() : error;
        },
        "");
    return validator;
}

// COUNT and SECONDS are read as the window's boxes read them (a leading integer), and must be
// at least 1: a split into no pieces is a mistake on the command line, not a silent no-op.
const CLI::Validator& positiveValidator()
{
    static const CLI::Validator validator(
        [](std::string& text) {
            const auto value = ParseLeadingInteger(text);
            return value && *value >= 1 ? std::string()
                                        : "must be an integer of 1 or more, got \"" + text + "\"";
        },
        "");
    return validator;
}

// --duration is this tool's own option, so it is strict: whole seconds, digits only.
const CLI::Validator& secondsValidator()
{
    static const CLI::Validator validator(
        [](std::string& text) {
            std::int64_t value = 0;
            const auto end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            return error == std::errc() && stop == end && value >= 0
                ? std::string()
                : "must be whole seconds, 0 or more, got \"" + text + "\"";
        },
        "");
    return validator;
}

} // namespace

CommandLine::CommandLine()
    : m_app("Cuts MP3 files into pieces without re-encoding them: every piece is a run of the "
            "source's bytes, placed by proportion of time.",
        "parvex-cli")
{
    m_app.set_version_flag("--version", std::string(kVersion));
    m_app.require_subcommand(1);
    addInfo();
    addCut();
    addParts();
    addEvery();
}

void CommandLine::addInfo()
{
    m_info = m_app.add_subcommand("info", "Shows the title line, byte size and whole seconds");
    m_info->add_option("SOURCE", m_request.source, "The MP3 file")->required()->type_name("FILE");
}

void CommandLine::addCut()
{
    m_cut = m_app.add_subcommand("cut", "Writes the piece between START and END to OUTPUT");
    m_cut->add_option("SOURCE", m_request.source, "The MP3 file")->required()->type_name("FILE");
    m_cut->add_option("START", m_startText, "Start time")
        ->required()
        ->type_name("H:M:S")
        ->check(timeValidator());
    m_cut->add_option("END", m_endText, "End time, before the total time")
        ->required()
        ->type_name("H:M:S")
        ->check(timeValidator());
    m_cut->add_option("-o,--output", m_request.output, "The file to write")
        ->required()
        ->type_name("FILE");
    m_cut->footer("Times are H:M:S, M:S or S, each field an integer; fields are not range-checked "
                  "(0:0:90 is 90 s).");
    m_cut->add_flag("-y,--yes", m_request.assumeYes, "Replace OUTPUT without asking");
    m_cutDuration = addDuration(m_cut);
    m_cut
        ->add_flag("--exact", m_request.exact,
            "Cut whole MP3 frames so that the piece plays exactly the samples from START to END "
            "in gapless players; times count in the source's real length")
        ->excludes(m_cutDuration);
}

void CommandLine::addParts()
{
    m_parts = m_app.add_subcommand("parts", "Splits into COUNT pieces of equal byte size");
    m_parts->add_option("SOURCE", m_request.source, "The MP3 file")->required()->type_name("FILE");
    m_parts->add_option("COUNT", m_countText, "Number of pieces")
        ->required()
        ->type_name("N")
        ->check(positiveValidator());
    m_parts
        ->add_option("-d,--folder", m_request.folder,
            "Where to write the pieces (default: the working folder)")
        ->type_name("FOLDER");
    m_parts->add_flag("--exact", m_request.exact,
        "Cut whole MP3 frames, at the frame starts nearest equal shares of the audio bytes, so "
        "that the pieces played one after the other in gapless players give the source exactly");
}

void CommandLine::addEvery()
{
    m_every = m_app.add_subcommand("every", "Splits into pieces of SECONDS each");
    m_every->add_option("SOURCE", m_request.source, "The MP3 file")->required()->type_name("FILE");
    m_every->add_option("SECONDS", m_request.secondsText, "Seconds per piece")
        ->required()
        ->type_name("N")
        ->check(positiveValidator());
    m_every
        ->add_option("-d,--folder", m_request.folder,
            "Where to write the pieces (default: the working folder)")
        ->type_name("FOLDER");
    m_everyDuration = addDuration(m_every);
    m_every
        ->add_flag("--exact", m_request.exact,
            "Cut so that each piece plays exactly SECONDS of the source in gapless players and "
            "the pieces joined give the source exactly; seconds count in the source's real length")
        ->excludes(m_everyDuration);
}

CLI::Option* CommandLine::addDuration(CLI::App* command)
{
    return command
        ->add_option("--duration", m_durationSeconds,
            "Total time of SOURCE in whole seconds, for files that cannot be measured")
        ->type_name("SECONDS")
        ->check(secondsValidator());
}

std::optional<CliRequest> CommandLine::parse(
    int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    try {
        m_app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        m_exitStatus = m_app.exit(e, out, err);
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        reportUsageError(e, err);
        m_exitStatus = kUsageError;
        return std::nullopt;
    }
    return request();
}

CliRequest CommandLine::request() const
{
    CliRequest r = m_request;
    if (m_info->parsed())
        r.command = CliCommand::Info;
    else if (m_cut->parsed())
        r.command = CliCommand::Cut;
    else if (m_parts->parsed())
        r.command = CliCommand::Parts;
    else
        r.command = CliCommand::Every;
    // The validators have accepted these texts, so every value is present.
    if (r.command == CliCommand::Cut) {
        r.start = ParseTimeArgument(m_startText).value_or(TimeMark {});
        r.end = ParseTimeArgument(m_endText).value_or(TimeMark {});
    }
    if (r.command == CliCommand::Parts)
        r.partCount = ParseLeadingInteger(m_countText).value_or(1);
    if (m_cutDuration->count() > 0 || m_everyDuration->count() > 0)
        r.durationSeconds = m_durationSeconds;
    return r;
}

void CommandLine::reportUsageError(const CLI::ParseError& error, std::ostream& err) const
{
    const std::pair<const CLI::App*, std::string_view> usages[] = { { m_info, kInfoUsage },
        { m_cut, kCutUsage }, { m_parts, kPartsUsage }, { m_every, kEveryUsage } };
    const CLI::App* chosen = nullptr;
    for (const auto& [command, usage] : usages) {
        if (command->parsed())
            chosen = command;
    }
    // Without a known command CLI11 only says that one is required; name what was typed.
    const auto unknown = m_app.remaining();
    if (!chosen && !unknown.empty())
        err << "parvex-cli: unknown command \"" << unknown.front() << "\"\n";
    else
        err << "parvex-cli: " << error.what() << '\n';
    const char* prefix = "usage: ";
    for (const auto& [command, usage] : usages) {
        if (chosen && command != chosen)
            continue;
        err << prefix << usage << '\n';
        prefix = "       ";
    }
    err << "Run \"parvex-cli" << (chosen ? " " + chosen->get_name() : std::string())
        << " --help\" for more information." << std::endl;
}
