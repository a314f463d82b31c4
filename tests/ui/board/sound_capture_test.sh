#!/usr/bin/env bash
# Proves that the board's clicks really come out of the sound system: starts a
# private sound server with a null output (no network modules, its own socket
# in a temporary folder), records that output, lets the board place one piece
# and turn another, and checks the two clicks in the recording.
# Usage: sound_capture_test.sh <sound_capture program>
set -uo pipefail
program=${1:?usage: sound_capture_test.sh <sound_capture program>}

for tool in pulseaudio parec pactl; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: '$tool' is not installed (packages pulseaudio, pulseaudio-utils); cannot capture sound here"
        exit 77
    fi
done

work=$(mktemp -d /tmp/kestrel-sound.XXXXXX)
server_pid=""
recorder_pid=""
cleanup() {
    [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null && wait "$recorder_pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

socket="$work/native"
cat >"$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$socket auth-anonymous=1
# Without rewinds the recording holds exactly what was played, from its first sample.
load-module module-null-sink sink_name=capture rate=44100 channels=2 format=s16le norewinds=1
set-default-sink capture
PA

export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export PULSE_RUNTIME_PATH="$work/run" PULSE_STATE_PATH="$work/state" PULSE_SERVER="unix:$socket"
mkdir -p "$work/config" "$work/run" "$work/state"
chmod 700 "$work/run"

pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --disable-shm=yes --log-target=file:"$work/server.log" >/dev/null 2>&1 &
server_pid=$!

ready=0
for _ in $(seq 50); do
    if pactl info >/dev/null 2>&1; then
        ready=1
        break
    fi
    if ! kill -0 "$server_pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
if [ "$ready" -ne 1 ]; then
    echo "SKIP: a private sound server could not be started here"
    tail -n 5 "$work/server.log" 2>/dev/null
    exit 77
fi

parec -d capture.monitor --format=s16le --rate=44100 --channels=2 --raw --latency-msec=10 >"$work/capture.raw" &
recorder_pid=$!

size() { stat -c %s "$work/capture.raw"; }
# Waits until the recording has grown past $1 bytes; false after about 10 s.
wait_for_recording() {
    for _ in $(seq 100); do
        [ "$(size)" -gt "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
# The recording must be running (silence flowing) before the first click.
if ! wait_for_recording 0; then
    echo "SKIP: the private sound server delivers no recording here"
    exit 77
fi

QT_QPA_PLATFORM=offscreen timeout 20 "$program" play || { echo "FAIL: the board program failed"; exit 1; }
# Another 0.4 s of recording (4 bytes a frame), so the end of the flip click is in.
wait_for_recording $(( $(size) + 44100 * 4 * 4 / 10 )) || { echo "FAIL: the recording stopped"; exit 1; }
kill "$recorder_pid" 2>/dev/null
wait "$recorder_pid" 2>/dev/null
recorder_pid=""

"$program" check "$work/capture.raw"
