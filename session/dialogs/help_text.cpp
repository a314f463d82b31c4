#include "session/dialogs/help_text.h"

#include "text/cp932.h"

namespace kestrel {
namespace {

// One entry per line, in UTF-8; the lines are joined with "\r\n" once.
constexpr const char* kLines[] = {
    "",
    "・ソースのフォルダで「bash scripts/run.sh」を実行すると、",
    "　組み立てて起動します（全テストは scripts/test.sh）。",
    "",
    "・build/app/corvidae を実行するとゲームが始まります。",
    "　設定ファイル lumenini.fil と lumenip.fil はその横に、",
    "　書き込めない所なら ~/.config/kestrelbay/ に置きます。",
    "",
    "・デスクトップへの登録は、このプログラムの中から",
    "　（「設定」の画面で）行うこともできます。",
    "",
    "・アンインストールはフォルダを削除するだけです。",
    "　登録したデスクトップのアイコンは先に外して下さい。",
    "",
    "・遊ぶ前に、メニューの「設定」で必ず次を登録します。",
    "　　①ネットワーク上で使う自分の名前",
    "　　②デスクトップへの登録",
    "",
    "・ゲームは次の順に始めます。",
    "　　①「接続」で相手を選びます。相手がいないときは",
    "　　　「コンピュータと対戦する」を押します。",
    "　　②チャットで相談して先攻（青色）か後攻（空色）を",
    "　　　選び、「決定」を押します。",
    "　　③先攻（青色）の人が「ゲーム開始」を押します。",
    "",
    "・勝敗はプログラムが判定します。決着の前にやめる",
    "　ときは「ゲーム終了」を押します。",
    "",
    "・同じ相手ともう一度遊ぶときは「ゲーム終了」を押し、",
    "　先攻・後攻の決定からやり直します。",
    "",
    "・別の相手と遊ぶときは、ゲームの後でメニューの",
    "　「切断」を選び、もう一度「接続」で相手を選びます。",
    "",
    "・ダイヤルアップ接続のときは、「設定」の画面で",
    "　「ダイヤルアップ接続」にチェックを入れます。",
    "",
    "・ブロードキャストが届かない相手と遊ぶときは、",
    "　相手のＩＰアドレスを「設定」の画面の「ブロード",
    "　キャストできないＩＰアドレス」に登録します。",
};

std::string joinedLines()
{
    std::string text;
    for (const char* line : kLines) {
        text += line;
        text += "\r\n";
    }
    return toCp932(text);
}

} // namespace

const std::string& helpText()
{
    static const std::string text = joinedLines();
    return text;
}

} // namespace kestrel
