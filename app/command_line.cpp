// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>

namespace rs {

const char* const kWindowUsage =
    "Usage: ripplescope [FILE]\n"
    "Opens the window; with FILE, then opens that scene file as File > Open does.\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 when the window is closed, 1 when no window can be opened, 2 wrong arguments.\n";

const char* const kWindowVersion = "ripplescope " RIPPLESCOPE_VERSION "\n";

namespace {

WindowArguments usage(std::string error) {
    WindowArguments result;
    result.error = std::move(error);
    return result;
}

// Every argument reaches the parser one byte to one character, so no byte of a file name is lost;
// toLatin1 gives the bytes back.
QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
std::string toBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

// The unknown option as it was typed, "-x" rather than the parser's bare name.
std::string typedOption(const std::vector<std::string>& args, const std::string& name) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        const std::size_t dashes = arg.compare(0, 2, "--") == 0 ? 2 : 1;
        if (arg.size() > dashes && arg[0] == '-' && arg.compare(dashes, std::string::npos, name) == 0) {
            return arg;
        }
    }
    return "--" + name;
}

} // namespace

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    // Options are long words; "-platform" is one unknown option, not seven letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({help, version});

    QStringList list{QStringLiteral("ripplescope")};
    for (const std::string& arg : args)
        list << fromBytes(arg);
    const bool parsed = parser.parse(list);

    WindowArguments result;
    if (parser.isSet(help)) {
        result.action = WindowArguments::Action::Help;
        return result;
    }
    if (parser.isSet(version)) {
        result.action = WindowArguments::Action::Version;
        return result;
    }
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        return usage(unknown.isEmpty() ? parser.errorText().toStdString()
                                       : "unknown option " + typedOption(args, toBytes(unknown.front())));
    }
    const QStringList names = parser.positionalArguments();
    if (names.size() > 1) {
        return usage("too many names: " + toBytes(names[1]));
    }
    if (!names.isEmpty()) {
        if (names.front().isEmpty()) {
            return usage("empty file name");
        }
        result.scene = toBytes(names.front());
    }
    result.action = WindowArguments::Action::Start;
    return result;
}

} // namespace rs
