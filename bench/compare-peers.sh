#!/usr/bin/env bash
# Whole-process cost of three jobs, for glyphmill-cli and, when their paths are given, the peers
# msdf-atlas-gen and fontbm, run one after the other in turn (round robin) so that a change of the
# machine's load affects every program alike. Prints the median wall time and the median CPU time
# (user + system of the program and of every child it waited for, the plug-in host included).
# Builds nothing: pass a Release or RelWithDebInfo build folder.
#
#   bench/compare-peers.sh [-b BUILD_DIR] [-n RUNS] [-m MSDF_ATLAS_GEN] [-f FONTBM] [-j JOBS]
#
# JOBS: the jobs to run, comma-separated (default: all of them).
#
# The jobs:
#   cjk    Noto Sans CJK SC 12 pt (16 px), U+4E00..U+9FEF, 4096x4096, "BMFont Text"
#   ascii  DejaVu Sans 24 pt (32 px), 32..126, 512x512, "BMFont Text", with --font-file
#          (msdf-atlas-gen: -type softmask -size 32)
#   sdf    the CJK job as a distance field, spread 4 (msdf-atlas-gen: -type sdf -pxrange 8)
#   msdf   the ascii job as a multi-channel distance field, spread 4 (msdf-atlas-gen: -type msdf
#          -pxrange 8)
#   mcjk   the CJK job as a multi-channel distance field, spread 4 (msdf-atlas-gen: -type msdf
#          -pxrange 8)
# Every Glyphmill job is regular (--no-bold), as the peers draw the fonts: the first-start
# settings would otherwise synthesise bold.
# The peers take tens of seconds for each CJK run. The peers read the CJK collection's first face (they take no face index); its glyphs of that
# range are the same in number and close in shape.
set -euo pipefail

build=build
runs=7
mag=""
fbm=""
jobs="cjk,ascii,sdf,msdf,mcjk"
while getopts "b:n:m:f:j:h" opt; do
  case $opt in
    b) build=$OPTARG ;;
    n) runs=$OPTARG ;;
    m) mag=$OPTARG ;;
    f) fbm=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) sed -n '2,23p' "$0"; exit 2 ;;
  esac
done

cli=$build/glyphmill-cli
plugins=$build/plugins
[[ -x $cli ]] || { echo "compare-peers: no $cli (build glyphmill-cli first)" >&2; exit 2; }
[[ -d $plugins ]] || { echo "compare-peers: no $plugins (build the plug-ins first)" >&2; exit 2; }
[[ -z $mag || -x $mag ]] || { echo "compare-peers: $mag is not a program" >&2; exit 2; }
[[ -z $fbm || -x $fbm ]] || { echo "compare-peers: $fbm is not a program" >&2; exit 2; }

dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
cjk=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
[[ -f $dejavu ]] || { echo "compare-peers: $dejavu is missing (fonts-dejavu-core)" >&2; exit 2; }
have_cjk=1
[[ -f $cjk ]] || { echo "compare-peers: $cjk is missing (fonts-noto-cjk): CJK jobs skipped" >&2; have_cjk=0; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '[0x4E00, 0x9FEF]\n' >"$out/cjk-charset.txt"

# name|job|command; the command runs from $out.
entries=()
add() { [[ ",$jobs," == *",$2,"* ]] && entries+=("$1|$2|$3"); return 0; }
g="$(realpath "$cli") --plugins $(realpath "$plugins") --quiet --force --no-bold -e 'BMFont Text'"
if ((have_cjk)); then
  add glyphmill cjk "$g --font 'Noto Sans CJK SC' --size 12 --chars 0x4E00-0x9FEF --texture 4096x4096 -o g-cjk/font.fnt"
  add glyphmill sdf "$g --font 'Noto Sans CJK SC' --size 12 --chars 0x4E00-0x9FEF --texture 4096x4096 --aa sdf --sdf-spread 4 -o g-sdf/font.fnt"
  add glyphmill mcjk "$g --font 'Noto Sans CJK SC' --size 12 --chars 0x4E00-0x9FEF --texture 4096x4096 --aa msdf --sdf-spread 4 -o g-mcjk/font.fnt"
fi
add glyphmill msdf "$g --font-file $dejavu --size 24 --chars 32-126 --texture 512x512 --aa msdf --sdf-spread 4 -o g-msdf/font.fnt"
add glyphmill ascii "$g --font-file $dejavu --size 24 --chars 32-126 --texture 512x512 -o g-ascii/font.fnt"
if [[ -n $mag ]]; then
  m=$(realpath "$mag")
  if ((have_cjk)); then
    add msdf-atlas-gen cjk "$m -font $cjk -charset cjk-charset.txt -type softmask -size 16 -dimensions 4096 4096 -imageout m-cjk.png -csv m-cjk.csv"
    add msdf-atlas-gen sdf "$m -font $cjk -charset cjk-charset.txt -type sdf -pxrange 8 -size 16 -dimensions 4096 4096 -imageout m-sdf.png -csv m-sdf.csv"
    add msdf-atlas-gen mcjk "$m -font $cjk -charset cjk-charset.txt -type msdf -pxrange 8 -size 16 -dimensions 4096 4096 -imageout m-mcjk.png -csv m-mcjk.csv"
  fi
  add msdf-atlas-gen msdf "$m -font $dejavu -type msdf -pxrange 8 -size 32 -dimensions 512 512 -imageout m-msdf.png -csv m-msdf.csv"
  add msdf-atlas-gen ascii "$m -font $dejavu -type softmask -size 32 -dimensions 512 512 -imageout m-ascii.png -csv m-ascii.csv"
fi
if [[ -n $fbm ]]; then
  f=$(realpath "$fbm")
  if ((have_cjk)); then
    add fontbm cjk "$f --font-file $cjk --font-size 16 --chars 19968-40943 --texture-size 4096x4096 --output f-cjk"
  fi
  add fontbm ascii "$f --font-file $dejavu --font-size 32 --chars 32-126 --texture-size 512x512 --output f-ascii"
fi

mkdir -p "$out/g-cjk" "$out/g-sdf" "$out/g-ascii" "$out/g-msdf" "$out/g-mcjk"
# The runs: one untimed round (page cache), then $runs rounds of every entry in turn. Each run's
# wall time and the CPU time wait4 reports for it (its own and that of every descendant it
# reaped), in seconds, into $out/times-<index>.
printf '%s\n' "${entries[@]}" >"$out/entries"
(cd "$out" && python3 - "$runs" <<'PY'
import os, shlex, subprocess, sys, time
runs = int(sys.argv[1])
commands = [shlex.split(line.rstrip("\n").split("|", 2)[2]) for line in open("entries")]
def once(argv):
    with open("err", "wb") as err:
        child = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=err)
        start = time.perf_counter()
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        child.returncode = 0  # reaped by wait4 above
    if status != 0:
        sys.stderr.write("compare-peers: failed: " + " ".join(argv) + "\n" + open("err").read())
        sys.exit(1)
    return wall, usage.ru_utime + usage.ru_stime
for argv in commands:
    once(argv)
for _ in range(runs):
    for i, argv in enumerate(commands):
        wall, cpu = once(argv)
        with open("times-%d" % i, "a") as t:
            t.write("%.4f %.4f\n" % (wall, cpu))
PY
)

median() { sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

echo "cores: $(nproc), runs: $runs (medians, seconds; CPU = user + system of the program and its children)"
printf '%-6s %-15s %9s %9s\n' job program wall cpu
for job in cjk ascii sdf msdf mcjk; do
  for i in "${!entries[@]}"; do
    IFS='|' read -r name j _ <<<"${entries[$i]}"
    [[ $j == "$job" ]] || continue
    wall=$(awk '{print $1}' "$out/times-$i" | median)
    cpu=$(awk '{print $2}' "$out/times-$i" | median)
    printf '%-6s %-15s %9.4f %9.4f\n' "$job" "$name" "$wall" "$cpu"
  done
done
