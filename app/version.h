// The program's name and version as --version and the log metadata give them.
#pragma once

constexpr char kProgramName[] = "klimperdetektor";
constexpr char kProgramVersion[] = "1.1.0";
