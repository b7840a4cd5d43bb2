#!/bin/sh
# The batch form against one job and against a shell loop of vips sharpen, on 50 camera-sized
# JPEGs made from the photographs found under /usr/share (or samples/chart.png).
#   bench/batch_bench.sh BUILD/inkjet [COUNT]
set -eu
tool=$1
count=${2:-50}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/j1" "$work/jn" "$work/vips" "$work/broken" "$work/jb"
pictures=$(find /usr/share -name '*.jpg' -size +100k 2>/dev/null | head -8)
[ -n "$pictures" ] || pictures=$(dirname "$0")/../samples/chart.png
i=0
while [ "$i" -lt "$count" ]; do
  for picture in $pictures; do
    [ "$i" -lt "$count" ] || break
    # About 3000 pixels on the long side, as a camera gives.
    vips thumbnail "$picture" "$work/in/p$i.jpg[Q=92]" 3000
    i=$((i + 1))
  done
done
seconds() { start=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; echo "$(date +%s.%N) - $start" | bc; }
echo "files: $count, cores: $(nproc)"
echo "inkjet -j 1:       $(seconds "$tool" sharpen "$work"/in/*.jpg -o "$work/j1" -j 1 -w 297 -q) s"
echo "inkjet -j $(nproc):       $(seconds "$tool" sharpen "$work"/in/*.jpg -o "$work/jn" -w 297 -q) s"
echo "vips sharpen loop: $(seconds sh -c "for f in '$work'/in/*.jpg; do vips sharpen \"\$f\" '$work'/vips/\$(basename \"\$f\"); done") s"
cmp_failures=0
for f in "$work"/j1/*.jpg; do cmp -s "$f" "$work/jn/$(basename "$f")" || cmp_failures=$((cmp_failures + 1)); done
echo "outputs differing between -j 1 and -j $(nproc): $cmp_failures"

# One damaged file among the others: it fails alone, the rest are written as before and the
# exit code and the summary say which one failed.
cp "$work"/in/*.jpg "$work/broken/"
head -c 20000 "$work/in/p0.jpg" >"$work/broken/damaged.jpg"
status=0
"$tool" sharpen "$work"/broken/*.jpg -o "$work/jb" -w 297 -q 2>"$work/jb.err" || status=$?
written=$(ls "$work/jb" | wc -l)
same=0
for f in "$work"/j1/*.jpg; do cmp -s "$f" "$work/jb/$(basename "$f")" && same=$((same + 1)); done
echo "with a damaged file among $((count + 1)): exit code $status, $written written, $same equal to -j 1's"
tail -n 3 "$work/jb.err"
