#!/usr/bin/env bash
# Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/ from
# the golden vectors of the tests (datagrams of every type, the two files,
# Shift-JIS texts). Run again after changing the vectors; the inputs of past
# findings (named finding-*) are kept as they are.
set -euo pipefail
cd "$(dirname "$0")/corpus"
sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# dispatch: phase byte, answers byte, then records (source byte + datagram) split by zero bytes.
datagrams=(
    '1|1|taro$0' '7|2|hanako$1' '3|3|x$0' '4|4|hanako' '5|5|1' '6|6|1' '7|7|hanako' '8|8|1'
    '7|9|a|b' '10|10|1' '11|11|1' '11|11|2' '12|12|1' '13|13|game start' '14|14|1' '15|15|game end'
    '16|16|1' '17|17|19' '17|17|44' '18|18|1' '20|20|pass' '21|21|1' '5||9|hi' 'abc|9|x' '|9|x'
    '7|9|' '9|1|$$$' '1|1|$12' '1|1|a$b' '1|22|x' '1|0|x' '1|-1|x' '17|17|64' '17|17|-1' '17|17|07'
)
rm -f dispatch/seed-*
for phase in 0 1 2 3 4 5 6 7 8; do
    i=0
    for d in "${datagrams[@]}"; do
        printf "\\x$(printf %02x "$phase")\\x55\\x00%s" "$d" >"dispatch/seed-$phase-$i"
        i=$((i + 1))
    done
    # A result text, a long chat line and an oversized datagram.
    { printf "\\x$(printf %02x "$phase")\\x55\\x00"; printf '19|19|'; sj '黒の勝ちです'; } >"dispatch/seed-$phase-result"
    { printf "\\x$(printf %02x "$phase")\\x55\\x00"; printf '30|9|'; head -c 999 /dev/zero | tr '\0' 'a'; } >"dispatch/seed-$phase-chat999"
    { printf "\\x$(printf %02x "$phase")\\x55\\x00"; printf '30|9|'; head -c 1200 /dev/zero | tr '\0' 'a'; } >"dispatch/seed-$phase-oversized"
    # Requests from three players, the later ones inside the first question;
    # a disconnect and moves inside their notices.
    printf "\\x$(printf %02x "$phase")\\x01\\x004|4|hanako\\0\\x094|4|jiro\\0\\x0a4|4|x\\0\\x085|4|hanako" >"dispatch/seed-$phase-requests"
    printf "\\x$(printf %02x "$phase")\\x00\\x007|7|hanako\\0\\x088|7|x\\0\\x0a9|7|y" >"dispatch/seed-$phase-disconnects"
    printf "\\x$(printf %02x "$phase")\\x00\\x0017|17|19\\0\\x0818|17|19\\0\\x1000\\0\\x0019|18|5" >"dispatch/seed-$phase-moves"
    # A failing answer, and a retry timer's expiry.
    printf "\\x$(printf %02x "$phase")\\x03\\x221|1|z\$0\\0\\x2a2|1|z\$0\\0\\x10" >"dispatch/seed-$phase-failures"
done

# settings: byte 0 the settings file's length, then it, then the address list.
rm -f settings/seed-*
ini() { # name port(hex, little-endian bytes) dialup
    printf '%s' "$1"; head -c $((64 - ${#1})) /dev/zero; printf "$2"; printf "$3"
}
{ printf '\x48'; ini taro '\x20\x4e\x00\x00' '\x00\x00\x00\x00'; } >settings/seed-taro
{ printf '\x48'; ini hanako '\x50\x00\x00\x00' '\x01\x00\x00\x00'
  for a in 10.0.0.10 10.0.0.2 192.168.1.5; do printf '%s' "$a"; head -c $((16 - ${#a})) /dev/zero; done; } >settings/seed-three-addresses
{ printf '\x46'; ini taro '\x20\x4e\x00\x00' '\x00\x00\x00\x00' | head -c 70; printf '10.0.0.1'; } >settings/seed-short
{ printf '\x48'; head -c 64 /dev/zero | tr '\0' 'n'; printf '\x20\x4e\x00\x00\x00\x00\x00\x00'
  head -c 20 /dev/zero | tr '\0' '9'; } >settings/seed-no-zero
{ printf '\x48'; sj 'はなこ①～'; head -c $((64 - 10)) /dev/zero; printf '\xff\xff\xff\xff\x02\x00\x00\x00'; } >settings/seed-cp932
printf '\x00' >settings/seed-empty

# cp932: byte 0 the cut's limit, then the text.
rm -f cp932/seed-*
{ printf '\x3f'; sj 'はなこ①～ｶﾀｶﾅ taro'; } >cp932/seed-mixed
{ printf '\x3f'; head -c 62 /dev/zero | tr '\0' 'a'; sj 'あい'; } >cp932/seed-lead-at-62
{ printf '\x05'; printf 'ab\x81'; } >cp932/seed-lead-at-end
{ printf '\xff'; sj '〜−—‖¢£¬'; printf '\x5c\x7e\xa0\xfd\xfe\xff\x80'; } >cp932/seed-edges

# records: record files, a recent-games list, pasted transcripts.
rm -f records/seed-*
mkdir -p records
header='kestrelbay 棋譜\n日時: 2024-05-01 21:07\n対局: コンピュータ\n黒: 太郎\n白: コンピュータ\n自分: 黒\n結果: 黒の勝ちです\n石数: 黒 13 白 0\n'
printf "$header"'棋譜: d3c3b3e3f3f4f5b2a1\n' >records/seed-record-file
printf "$header"'棋譜:\n1. D3 C3 2. B3 E3\r\n3. F3 F4 pass F5 B2 A1\n' >records/seed-hand-edited
printf "$header"'棋譜: f5d6f5\n' >records/seed-bad-move
{ printf 'kestrelbay 最近の対局 1\n\n'; printf "${header#*\\n}"'棋譜: d3c3b3e3f3f4f5b2a1\n\n'
  printf "${header#*\\n}"'棋譜: f5d6\n\n以上\n'; } >records/seed-recent-games
printf 'f5f6e6f4d3c4b3d6g6f3d7c5b4d2g4d8c8a2b2b8f7h3c3g7g5h6e2g3h5a3a4h4a1c2d1e3g8e8c6h7f8c1e1c7g2h8b1f1b5b6g1a5a6h2f2e7a7b7a8' >records/seed-passes
{ sj '黒：太郎、白：花子'; printf '\r\n1. f5 d6、c3 i9\r\n'; } >records/seed-cp932
