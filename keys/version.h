// The program's name and version as --version and the log metadata give them.
#pragma once

constexpr char kProgramName[] = "klimperdetektor";
// The number is the project's, given by the build.
constexpr char kProgramVersion[] = ZQ_PROGRAM_VERSION;
