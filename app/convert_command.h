// `orvik --convert`: reduces image files to a palette and writes them, without a window system.
//
//   orvik --convert IN OUT [options]
//   orvik --convert IN... --to FOLDER [--format EXT] [options]
//
// Options: --colors N (2..256), --palette median-cut|octree|standard|FILE, --dither
// none|ordered|error-diffusion, and --lang CODE for the language of the messages. The defaults are
// those of the Decrease Color Depth dialog: octree, 256 colours, nearest colour. Reads every type
// the program opens and writes the type of the output's extension (with --to, the input's own
// extension or --format's). Errors go to stderr; nothing is printed on success.
#pragma once

// Whether the command line asks for a conversion (--convert before any "--").
bool WantsConvert(int argc, char* argv[]);

// Runs the conversion the command line asks for; returns the exit status: 0 when every file was
// converted, 1 when any failed, 2 for a command line that cannot be run. Makes a QCoreApplication
// of its own (none may exist yet) and no GUI application, so no display is needed.
int RunConvert(int argc, char* argv[]);

// The --convert part of `orvik --help`.
const char* ConvertUsage();
