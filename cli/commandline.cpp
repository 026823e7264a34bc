// SPDX-License-Identifier: GPL-3.0-or-later
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

namespace parvex {

namespace {

constexpr std::string_view kVersion = "parvex-cli " PARVEX_STRINGIFY(
    PARVEX_VERSION_MAJOR) "." PARVEX_STRINGIFY(PARVEX_VERSION_MINOR);

constexpr std::string_view kInfoUsage = "parvex-cli info SOURCE";
constexpr std::string_view kCutUsage
    = "parvex-cli cut SOURCE START END -o OUTPUT [-y] [--duration SECONDS | --exact]";
constexpr std::string_view kPartsUsage = "parvex-cli parts SOURCE COUNT [-d FOLDER] [--exact]";
constexpr std::string_view kSilencesUsage
    = "parvex-cli silences SOURCE [--threshold DB] [--min-silence SECONDS]";
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

// COUNT is digits only and at least 1: a split into no pieces, or a typo read as a smaller count,
// is a mistake on the command line, not a silent no-op.
const CLI::Validator& countValidator()
{
    static const CLI::Validator validator(
        [](std::string& text) {
            std::int64_t value = 0;
            const auto end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            return error == std::errc() && stop == end && value >= 1
                ? std::string()
                : "must be a whole number of 1 or more, got \"" + text + "\"";
        },
        "");
    return validator;
}

// SECONDS is a time, above zero.
const CLI::Validator& lengthValidator()
{
    static const CLI::Validator validator(
        [](std::string& text) {
            std::string error;
            const auto length = ParseTimeArgument(text, &error);
            if (!length)
                return error;
            return length->totalSeconds() > 0 || length->nanoseconds > 0
                ? std::string()
                : "must be more than 0 seconds, got \"" + text + "\"";
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
    m_split = std::make_unique<SplitCommand>(m_app, m_request);
    m_chapters = std::make_unique<SplitCommand>(m_app, m_request, true);
    addSilences();
}

void CommandLine::addSilences()
{
    m_silences = m_app.add_subcommand("silences",
        "Prints each silence: start, end and length in seconds, one line each, for scripts");
    m_silences->add_option("SOURCE", m_request.source, "The MP3 file")
        ->required()
        ->type_name("FILE");
    m_silences
        ->add_option("--threshold", m_request.silence.thresholdDb,
            "Silent below this level, in dB (RMS over 10 ms on every channel; default -40)")
        ->type_name("DB")
        ->check(CLI::Range(-120.0, 0.0));
    m_silences
        ->add_option("--min-silence", m_request.silence.minSeconds,
            "The shortest silence that counts, in seconds (default 1.0)")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.01, 3600.0));
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
    m_cut->footer("Times are H:M:S, M:S or S, each field a whole number, not range-checked (0:0:90 "
                  "is 90 s). With --exact the seconds may have a fraction (1:02.250), cut to the "
                  "sample; without it the cut counts whole seconds and refuses a fraction.");
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
        ->check(countValidator());
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
    m_every->add_option("SECONDS", m_request.secondsText, "Length of each piece")
        ->required()
        ->type_name("S")
        ->check(lengthValidator());
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
    m_every->footer(
        "SECONDS is S, M:S or H:M:S. With --exact it may have a fraction (1.5), and a "
        "rest shorter than 1 second or a tenth of SECONDS (whichever is less) joins the "
        "last piece instead of becoming a piece of its own. Without --exact the last "
        "piece holds what remains, and SECONDS must be whole.");
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
    auto parsed = request();
    if (const auto refusal = wholeSecondsRefusal(parsed)) {
        reportUsageError(CLI::ValidationError(*refusal), err);
        m_exitStatus = kUsageError;
        return std::nullopt;
    }
    return parsed;
}

// The proportional cut counts whole seconds; truncating a typed fraction would cut elsewhere.
std::optional<std::string> CommandLine::wholeSecondsRefusal(const CliRequest& request) const
{
    if (request.exact)
        return std::nullopt;
    const std::pair<const char*, TimeMark> times[] = { { "START", request.start },
        { "END", request.end }, { "SECONDS", request.everyLength } };
    for (const auto& [name, mark] : times) {
        if (mark.nanoseconds != 0)
            return std::string(name) + ": " + FormatTimeArgument(mark)
                + " has a fraction of a second; without --exact times are whole seconds";
    }
    return std::nullopt;
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
    else if (m_every->parsed())
        r.command = CliCommand::Every;
    else if (m_split->app()->parsed())
        r.command = CliCommand::Split;
    else if (m_silences->parsed())
        r.command = CliCommand::Silences;
    else
        r.command = CliCommand::Chapters;
    if (r.command == CliCommand::Split)
        m_split->finish(r);
    if (r.command == CliCommand::Chapters) {
        m_chapters->finish(r);
        r.sources = { r.source };
    }
    // The validators have accepted these texts, so every value is present.
    if (r.command == CliCommand::Cut) {
        r.start = ParseTimeArgument(m_startText).value_or(TimeMark {});
        r.end = ParseTimeArgument(m_endText).value_or(TimeMark {});
    }
    if (r.command == CliCommand::Parts)
        r.partCount = ParseLeadingInteger(m_countText).value_or(1);
    if (r.command == CliCommand::Every) {
        r.everyLength = ParseTimeArgument(r.secondsText).value_or(TimeMark {});
        // The proportional split reads the box's leading integer: whole seconds, from H:M:S too.
        r.secondsText = std::to_string(r.everyLength.totalSeconds());
    }
    if (m_cutDuration->count() > 0 || m_everyDuration->count() > 0)
        r.durationSeconds = m_durationSeconds;
    return r;
}

void CommandLine::reportUsageError(const CLI::ParseError& error, std::ostream& err) const
{
    const std::pair<const CLI::App*, std::string_view> usages[]
        = { { m_info, kInfoUsage }, { m_cut, kCutUsage }, { m_parts, kPartsUsage },
              { m_every, kEveryUsage }, { m_split->app(), SplitCommand::kUsage },
              { m_chapters->app(), SplitCommand::kChaptersUsage }, { m_silences, kSilencesUsage } };
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

} // namespace parvex
