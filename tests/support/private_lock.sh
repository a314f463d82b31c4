# Sourced first by every script that starts the real program. The program's
# single-copy lock lies in /dev/shm under the user id, so copies started by
# other test runs on this machine would meet this run's copies. This runs
# the whole script again in a private mount namespace whose /dev/shm is a
# fresh tmpfs: the copies this script starts meet one another's lock and
# nobody else's, and the tmpfs goes away with the script. Needs root
# (exits 77 without). The process keeps its id through the exec chain, so
# the tmpfs named after it tells the second run from the first.
for tool in unshare findmnt; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool (util-linux) is missing"; exit 77; }
done
# The last of the mounts on /dev/shm is the one in sight.
if [ "$(findmnt -n -o SOURCE --mountpoint /dev/shm | tail -n 1)" != "kestrel-locks-$$" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "SKIP: a private mount namespace needs root"
        exit 77
    fi
    exec unshare --mount --propagation private \
        bash -c 'mount -t tmpfs -o mode=1777 "kestrel-locks-$$" /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi
