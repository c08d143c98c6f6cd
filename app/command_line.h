// The command line, read before the toolkit starts: the program's options, the toolkit's own
// options (which the toolkit takes itself) and the files to open. Every option the program knows
// is one entry of the table in command_line.cpp; a new option is a new entry there and a field here.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action {
        Run,      // start the program and open `files`
        Help,     // print the usage and end
        Version,  // print the version and end
        Refuse,   // print `error` with the hint to --help and end with status 2
    };
    Action action = Action::Run;
    QString language;  // --lang CODE; empty when not given
    QStringList files;
    QString error;  // for Refuse: one line, e.g. "unrecognized option '--bogus'"
};

// Reads the arguments (the program's name excluded) in order: the first --help, --version or
// mistake decides; arguments after "--" are files.
CommandLine ParseCommandLine(const QStringList& arguments);

// What --help prints.
extern const char kUsage[];
