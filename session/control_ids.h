#pragma once
// Ids of the main window's controls and menu commands.

namespace kestrel::ids {

constexpr int kFirstCell = 1001; // cell k is kFirstCell + k
constexpr int kBlackSymbol = 1065;
constexpr int kWhiteSymbol = 1066;
constexpr int kBoardFrame = 1067;
constexpr int kOpponentLine = 1079;
constexpr int kChatLog = 1081;
constexpr int kChatInput = 1082;
constexpr int kSend = 1083;
constexpr int kStatus = 1084;
constexpr int kFirstBlack = 1085;  // radio "先攻（黒）"
constexpr int kSecondWhite = 1086; // radio "後攻（白）"
constexpr int kDecide = 1087;
constexpr int kGameStart = 1088;
constexpr int kBlackName = 1089;
constexpr int kWhiteName = 1090;
constexpr int kBlackCount = 1091;
constexpr int kWhiteCount = 1092;
constexpr int kGameEnd = 1093;

constexpr int kMenuExit = 40001;
constexpr int kMenuConnect = 40002;
constexpr int kMenuSettings = 40003;
constexpr int kMenuDisconnect = 40004;
constexpr int kMenuAbout = 40005;
constexpr int kMenuHelp = 40007;

// The board's context menu. Its items are commands like the menu bar's.
constexpr int kMenuHint = 40101;           // "ヒント"
constexpr int kMenuFirstLevel = 40110;     // "コンピュータの強さ": level n is kMenuFirstLevel + n
constexpr int kMenuLevelsEnd = 40120;      // past the last id a level may have
constexpr int kMenuUndo = 40130;           // "待った"
constexpr int kMenuRedo = 40131;           // "やり直し"
constexpr int kMenuMarkLegalMoves = 40132; // "打てる場所を表示" (check item)
constexpr int kMenuMarkLastMove = 40133;   // "最後の手を表示" (check item)
constexpr int kMenuCopyRecord = 40134;     // "棋譜をコピー"
constexpr int kMenuSaveRecord = 40135;     // "棋譜を保存..."
constexpr int kMenuOpenRecord = 40136;     // "棋譜を開く..."
constexpr int kMenuRecentGames = 40137;    // the submenu "最近の対局"
constexpr int kMenuReplayFirst = 40140;    // the replay: to the start position
constexpr int kMenuReplayBack = 40141;     // one move back
constexpr int kMenuReplayForward = 40142;  // one move on
constexpr int kMenuReplayLast = 40143;     // to the last position
constexpr int kMenuReplayLeave = 40144;    // the replay ends
// The rows of "最近の対局", newest first: row n is kMenuFirstRecent + n.
constexpr int kMenuFirstRecent = 40200;
constexpr int kMenuRecentEnd = 40300; // past the last row (as many as the recent games kept)

} // namespace kestrel::ids
