#!/usr/bin/env bash
# A poster's plan as a Slurm job array, on a Slurm of one node started here:
# munged, slurmctld and slurmd with a configuration of their own in a
# temporary folder (nothing of the system's is read or changed but the
# daemons' ports), the plan of a 4 x 4 poster submitted as it is, its tiles
# joined by vips and compared, pixel for pixel, with the picture drawn in one
# piece. The daemons started here are stopped, and the folder removed,
# however the test ends.
#
# prova_slurm.sh QUILLMERE_PLAN QUILLMERE_RENDER SOURCE_DIR
# Needs root (slurmd starts jobs as their users); exits 77, skipped, otherwise.
set -euo pipefail
plan=$1
render=$2
sorgenti=$3

if [ "$(id -u)" -ne 0 ]; then
    echo "prova_slurm: skipped: slurmd must run as root"
    exit 77
fi
for programma in munged slurmctld slurmd sbatch squeue sinfo scontrol scancel vips; do
    if ! PATH="$PATH:/usr/sbin:/sbin" command -v "$programma" >/dev/null; then
        echo "prova_slurm: $programma is missing (scripts/dipendenze.sh installs slurm-wlm, munge, libvips-tools)" >&2
        exit 1
    fi
done
export PATH="$PATH:/usr/sbin:/sbin"

inizio=$(date +%s%N)
dir=$(mktemp -d /tmp/quillmere-slurm.XXXXXX)
chmod 755 "$dir"
lavoro=""
# Stops what this script started, each by the process id in its own pid file.
ferma() {
    if [ -n "$lavoro" ]; then
        scancel "$lavoro" 2>/dev/null || true
    fi
    local pid pids=()
    for demone in slurmd slurmctld munged; do
        [ -s "$dir/$demone.pid" ] || continue
        pid=$(cat "$dir/$demone.pid")
        kill "$pid" 2>/dev/null && pids+=("$pid")
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
    rm -rf "$dir"
}
trap ferma EXIT
fallito() {
    echo "prova_slurm: $*" >&2
    for registro in "$dir"/*.log "$dir"/poster/log/*; do
        [ -f "$registro" ] && { echo "== $registro" >&2; tail -20 "$registro" >&2; }
    done
    exit 1
}

# Two free ports for the controller and the node daemon.
porte=()
while [ ${#porte[@]} -lt 2 ]; do
    porta=$((20000 + RANDOM % 40000))
    (: </dev/tcp/127.0.0.1/"$porta") 2>/dev/null || porte+=("$porta")
done

head -c 1024 /dev/urandom > "$dir/munge.key"
chmod 400 "$dir/munge.key"
munged --socket="$dir/munge.sock" --key-file="$dir/munge.key" --pid-file="$dir/munged.pid" \
       --log-file="$dir/munged.log" --seed-file="$dir/munged.seed" || fallito "munged did not start"

nodo=$(hostname -s)
mkdir "$dir/stato" "$dir/spool"
cat > "$dir/slurm.conf" <<FINE
ClusterName=quillmere
SlurmctldHost=$nodo(127.0.0.1)
SlurmctldPort=${porte[0]}
SlurmdPort=${porte[1]}
SlurmUser=root
AuthType=auth/munge
AuthInfo=socket=$dir/munge.sock
CredType=cred/munge
StateSaveLocation=$dir/stato
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
SchedulerParameters=batch_sched_delay=0
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
MpiDefault=none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
NodeName=$nodo NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=prova Nodes=ALL Default=YES MaxTime=INFINITE State=UP
FINE
export SLURM_CONF=$dir/slurm.conf
slurmctld -c || fallito "slurmctld did not start"
slurmd || fallito "slurmd did not start"
for _ in $(seq 150); do
    [ "$(sinfo -h -N -o %t 2>/dev/null)" = "idle" ] && break
    sleep 0.2
done
[ "$(sinfo -h -N -o %t)" = "idle" ] || fallito "the node is not ready: $(sinfo -h -N -o %t)"
pronto=$(date +%s%N)

# The poster's plan, submitted unchanged from its folder.
piano=$dir/poster
"$plan" poster "$sorgenti/samples/seahorse.Quillmere" "$piano" --size 256x256 --tiles 4x4 >/dev/null \
    || fallito "quillmere-plan failed"
lavoro=$(cd "$piano" && sbatch --parsable slurm.sbatch) || fallito "sbatch refused the plan"
for _ in $(seq 600); do
    [ -z "$(squeue -h -j "$lavoro" 2>/dev/null)" ] && break
    sleep 0.2
done
stati=$(scontrol -o show job "$lavoro" | grep -o 'JobState=[A-Z_]*' | sort | uniq -c | tr -s ' \n' ' ')
completati=$(scontrol -o show job "$lavoro" | grep -c 'JobState=COMPLETED' || true)
[ "$completati" -eq 16 ] || fallito "not 16 tasks completed: $stati"
lavoro=""
finito=$(date +%s%N)

"$plan" join "$piano" >/dev/null || fallito "join failed"
"$render" "$piano/poster.png.Quillmere" "$dir/intera.png" >/dev/null
vips rawsave "$piano/poster.png" "$dir/poster.raw"
vips rawsave "$dir/intera.png" "$dir/intera.raw"
cmp "$dir/poster.raw" "$dir/intera.raw" || fallito "the joined tiles are not the picture drawn in one piece"
ms() { echo "$((($2 - $1) / 1000000)) ms"; }
echo "Slurm of one node ready in $(ms "$inizio" "$pronto"); 16 tiles as a job array in $(ms "$pronto" "$finito");" \
     "joined, the picture drawn in one piece; $(ms "$inizio" "$(date +%s%N)") before stopping"
