#pragma once
// Transcripts as players write them, with what each holds: read by the
// transcript tests and, inside record files, by the record tests.

#include <string>
#include <vector>

#include "engine/transcript.h"

namespace kestrel::testing {

struct TranscriptCase {
    const char* name;
    std::string text;
    // A good transcript: its written form, the final counts, who moves
    // next, and the moves after which the same side moves again (a pass).
    std::string transcript;
    int black = 0;
    int white = 0;
    Side toMove = kNoSide;
    std::vector<int> passesAfter;
    // A bad one: the first move that cannot be played.
    TranscriptFaultKind fault = TranscriptFaultKind::NoMoves;
    int faultNumber = -1; // -1: no fault
    std::string faultText;
};

// The shortest game: white has no piece left after nine moves.
inline const std::string kWipeOut = "d3c3b3e3f3f4f5b2a1";
// Black moves twice after move 56 and again after 58.
inline const std::string kPassGame =
    "f5f6e6f4d3c4b3d6g6f3d7c5b4d2g4d8c8a2b2b8f7h3c3g7g5h6e2g3h5a3a4h4a1c2d1e3g8"
    "e8c6h7f8c1e1c7g2h8b1f1b5b6g1a5a6h2f2e7a7b7a8";

inline TranscriptCase goodCase(const char* name, std::string text, std::string transcript, int black,
                               int white, Side toMove, std::vector<int> passesAfter = {})
{
    return {name,   std::move(text),        std::move(transcript),        black, white,
            toMove, std::move(passesAfter), TranscriptFaultKind::NoMoves, -1,    ""};
}

inline TranscriptCase badCase(const char* name, std::string text, TranscriptFaultKind fault, int number,
                              std::string faultText)
{
    return {name, std::move(text), "", 0, 0, kNoSide, {}, fault, number, std::move(faultText)};
}

inline std::vector<TranscriptCase> transcriptCases()
{
    using K = TranscriptFaultKind;
    return {
        goodCase("TwoMoves", "f5d6", "f5d6", 3, 3, kBlack),
        goodCase("UpperCaseAndNumbers", "1. F5 D6\r\n2. C3 D3\n3. C4", "f5d6c3d3c4", 6, 3, kWhite),
        goodCase("CommasAndJapaneseSeparators", "f5, d6、c3。d3　c4", "f5d6c3d3c4", 6, 3, kWhite),
        goodCase("WrittenPassIsSkipped", "f5 d6 pass c3", "f5d6c3", 5, 2, kWhite),
        goodCase("AmongOtherText", "Black: taro\nWhite: hanako 2024-05-01\n" + kWipeOut + "\ngood game",
                 kWipeOut, 13, 0, kNoSide),
        goodCase("LongestStretchWins", "e4 notes: f5 d6 c3 d3 zz", "f5d6c3d3", 4, 4, kBlack),
        goodCase("WipeOut", kWipeOut, kWipeOut, 13, 0, kNoSide),
        goodCase("Passes", kPassGame, kPassGame, 35, 28, kNoSide, {56, 58}),
        badCase("NotACell", "f5 d6 i3 c3", K::NotACell, 3, "i3"),
        badCase("TwoDigitRow", "f5D66c3", K::NotACell, 2, "D66"),
        badCase("Occupied", "f5 d6 f5", K::NotPlayable, 3, "f5"),
        badCase("TurnsNothing", "f5 a1", K::NotPlayable, 2, "a1"),
        badCase("AfterTheEnd", kWipeOut + "h8", K::NotPlayable, 10, "h8"),
        badCase("NoTranscript", "黒 太郎\nno moves here", K::NoMoves, 0, ""),
    };
}

} // namespace kestrel::testing
