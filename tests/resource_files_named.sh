#!/usr/bin/env bash
# Lists the files under SOURCE_DIR/resources that PROGRAM names, other than C++ sources: a
# program that names one would read it from the source tree, which an installed copy does not
# have. Source files and folders are left out because a build with debug information keeps
# their names (GCC's UBSan even under -ffile-prefix-map), which says nothing of what the
# program reads. Exit 0 when some file is named, 1 when none is.
# Arguments: PROGRAM SOURCE_DIR
set -u
program=$1 source_dir=$2
found=1
while IFS= read -r name; do
  case $name in *.h | *.cpp) continue ;; esac
  [ -f "$name" ] || continue
  echo "$name"
  found=0
done < <(strings -a "$program" | grep -F "$source_dir/resources/" |
  sed "s|.*\($source_dir/resources/\)|\1|" | sort -u)
exit $found
