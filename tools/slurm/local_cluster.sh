#!/usr/bin/env bash
# A one-node Slurm cluster in a folder of its own, for tests and measurements
# on one machine: munged, slurmctld and slurmd run as root on free ports with
# their sockets, state and logs in FOLDER, so that two of them never meet and
# nothing of the machine's own Slurm (if any) is used. Needs root and the
# packages slurmctld, slurmd, slurm-client and munge; no init system.
#
#   tools/slurm/local_cluster.sh start FOLDER   starts it; waits until the node is idle
#   tools/slurm/local_cluster.sh stop FOLDER    ends its daemons (by their process ids)
#
# Clients find it with SLURM_CONF=FOLDER/slurm.conf (start prints the line).
set -euo pipefail

fail() {
    echo "local_cluster: $*" >&2
    exit 1
}

# A TCP port nobody listens on now.
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits for a file to appear (at most $2 tenths of a second).
await_file() {
    local i
    for ((i = 0; i < $2; i++)); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

start() {
    local dir=$1
    [ "$(id -u)" -eq 0 ] || fail "needs root."
    for tool in munged slurmctld slurmd sinfo; do
        command -v "$tool" >/dev/null 2>&1 || fail "\"$tool\" is missing (apt-get install slurmctld slurmd slurm-client munge)."
    done
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    # Unix socket paths are limited to 108 bytes.
    [ ${#dir} -le 80 ] || fail "the folder's path is too long for the sockets in it: $dir"
    # Everyone must reach munged's socket; only root its key.
    chmod 755 "$dir"
    mkdir -p "$dir/state" "$dir/spool" "$dir/munge" "$dir/socket"
    chmod 700 "$dir/munge"
    chmod 755 "$dir/socket"

    # munged takes only a key of the user that runs it.
    install -m 600 -o root -g root /etc/munge/munge.key "$dir/munge/munge.key"
    munged --socket="$dir/socket/munge" --key-file="$dir/munge/munge.key" --pid-file="$dir/munge/munged.pid" \
        --log-file="$dir/munge/munged.log" --seed-file="$dir/munge/seed" ||
        fail "munged did not start: $(tail -n 3 "$dir/munge/munged.log" 2>/dev/null)"
    await_file "$dir/munge/munged.pid" 50 || fail "munged wrote no process id."

    local host node cpus
    host=$(hostname -s)
    node=$(slurmd -C | sed -n '1s/^NodeName=[^ ]* //p')
    cpus=$(sed -n 's/.*CPUs=\([0-9]*\).*/\1/p' <<<"$node")
    cat >"$dir/slurm.conf" <<EOF
ClusterName=orviklocal
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/socket/munge
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
MailProg=/bin/true
MpiDefault=none
SwitchType=switch/none
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
SchedulerParameters=batch_sched_delay=0
MessageTimeout=30
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=local Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
    export SLURM_CONF="$dir/slurm.conf"
    slurmctld -c -f "$SLURM_CONF" || fail "slurmctld did not start: $(tail -n 3 "$dir/slurmctld.log" 2>/dev/null)"
    slurmd -f "$SLURM_CONF" || fail "slurmd did not start: $(tail -n 3 "$dir/slurmd.log" 2>/dev/null)"
    await_file "$dir/slurmctld.pid" 100 || fail "slurmctld wrote no process id."
    await_file "$dir/slurmd.pid" 100 || fail "slurmd wrote no process id."

    local i state=
    for ((i = 0; i < 300; i++)); do
        state=$(sinfo -h -n "$host" -o %T 2>/dev/null || true)
        [ "$state" = idle ] && break
        sleep 0.1
    done
    [ "$state" = idle ] || fail "the node is not idle but \"$state\" (see $dir/slurmctld.log and $dir/slurmd.log)."
    echo "export SLURM_CONF=$SLURM_CONF"
}

stop() {
    local dir=$1 file pid i alive pids=()
    # Jobs still there (a test that gave up waiting) end first: their steps
    # would outlive the daemons.
    if [ -s "$dir/slurmctld.pid" ] && kill -0 "$(cat "$dir/slurmctld.pid")" 2>/dev/null; then
        export SLURM_CONF="$dir/slurm.conf"
        scancel --quiet --user="$(id -un)" 2>/dev/null || true
        for ((i = 0; i < 100; i++)); do
            squeue -h 2>/dev/null | grep -q . || break
            sleep 0.1
        done
    fi
    for file in "$dir/slurmd.pid" "$dir/slurmctld.pid" "$dir/munge/munged.pid"; do
        [ -s "$file" ] || continue
        pid=$(cat "$file")
        kill -TERM "$pid" 2>/dev/null && pids+=("$pid")
    done
    # Each ends at its own pace; one that outlasts ten seconds is killed.
    for ((i = 0; i < 100; i++)); do
        alive=0
        for pid in "${pids[@]}"; do
            kill -0 "$pid" 2>/dev/null && alive=1
        done
        [ "$alive" -eq 0 ] && return 0
        sleep 0.1
    done
    for pid in "${pids[@]}"; do
        kill -KILL "$pid" 2>/dev/null || true
    done
}

[ $# -eq 2 ] || { echo "Usage: $0 start|stop FOLDER" >&2; exit 2; }
case "$1" in
    start) start "$2" ;;
    stop) stop "$2" ;;
    *) echo "Usage: $0 start|stop FOLDER" >&2; exit 2 ;;
esac
