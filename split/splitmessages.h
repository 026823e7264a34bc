// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed texts the split operations show; callers and tests compare against these.
#pragma once

#include <string_view>

namespace parvex {

namespace SplitMessages {
// Input checks: a box owned by the window, caption "Error".
inline constexpr std::string_view NoSource = "Please open an MP3 file first!";
inline constexpr std::string_view StartBeyondTotal
    = "The Start Time is bigger than the total time!";
inline constexpr std::string_view EndBeyondTotal = "The End Time is bigger than the total time!";
inline constexpr std::string_view StartAfterEnd = "The Start Time is bigger than the End Time!";
inline constexpr std::string_view StartNegative = "The Start Time can not be negative!";
inline constexpr std::string_view EndNegative = "The End Time can not be negative!";
inline constexpr std::string_view OutputIsSource = "The output file is the source file!";
inline constexpr std::string_view TooManyPieces
    = "The mp3 file is too small to be split into that many pieces!";

// File failures: the application's own message box.
inline constexpr std::string_view CannotOpenSource = "Can not open the mp3 file!";
inline constexpr std::string_view CannotReadSource = "Can not read the mp3 file!";
inline constexpr std::string_view CannotOpenOutput = "Can not open the output mp3 file!";
inline constexpr std::string_view CannotWriteOutput = "Can not write the output mp3 file!";

// The only sign of success: caption "Message", no owner.
inline constexpr std::string_view Done = "Splitting is done!";
} // namespace SplitMessages

} // namespace parvex
