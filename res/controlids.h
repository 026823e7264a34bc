// SPDX-License-Identifier: GPL-3.0-or-later
// Control ids of the main dialog; each widget's objectName is its id in decimal.
#pragma once

namespace parvex {

namespace ControlId {
inline constexpr int OpenMp3 = 1000;
inline constexpr int SourceTitle = 1001;
inline constexpr int StartHours = 1003;
inline constexpr int StartMinutes = 1004;
inline constexpr int StartSeconds = 1005;
inline constexpr int EndHours = 1006;
inline constexpr int EndMinutes = 1007;
inline constexpr int EndSeconds = 1008;
inline constexpr int StartRange = 1009;
inline constexpr int OutputFile = 1010;
inline constexpr int Play = 1011;
inline constexpr int PositionSlider = 1012;
inline constexpr int Pause = 1013;
inline constexpr int Stop = 1014;
inline constexpr int PositionDisplay = 1015;
inline constexpr int StartTime = 1016;
inline constexpr int EndTime = 1017;
inline constexpr int SplitCount = 1018;
inline constexpr int StartBySize = 1019;
inline constexpr int EachSize = 1020;
inline constexpr int OutputFolder = 1021;
inline constexpr int SplitCountSpin = 1025;
inline constexpr int BrowseFolder = 1026;
inline constexpr int SplitSeconds = 1027;
inline constexpr int SplitSecondsSpin = 1028;
inline constexpr int StartByTime = 1029;
inline constexpr int ByFrame = 1030;
inline constexpr int BySize = 1031;
inline constexpr int ByTime = 1032;
inline constexpr int BrowseFile = 1033;
inline constexpr int Homepage = 1048;
inline constexpr int Help = 1049;
inline constexpr int ExactCut = 1050;

// The By marks mode: Parvex's own controls, made beside the template's (tab order after them).
inline constexpr int ByMarks = 1051;
inline constexpr int StartByMarks = 1052;
inline constexpr int MarksList = 1053;
inline constexpr int AddMark = 1054;
inline constexpr int RemoveMark = 1055;
inline constexpr int ImportCue = 1056;
inline constexpr int ImportChapters = 1057;
inline constexpr int ExportCue = 1058;
inline constexpr int FindSilences = 1060;
inline constexpr int Chunks = 1061;
inline constexpr int SaveWithChapters = 1062;
// The waveform strip under the position slider.
inline constexpr int Waveform = 1059;

// The about box's OK button.
inline constexpr int AboutOk = 1;
} // namespace ControlId

} // namespace parvex
