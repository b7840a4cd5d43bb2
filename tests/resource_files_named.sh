#!/usr/bin/env bash
# Lists the files under SOURCE_DIR/resources that PROGRAM names, other than C++ sources: a
# program that names one would read it from the source tree, which an installed copy does not
# have. Source names are left out because a sanitizer build keeps the header names of its
# checks (GCC's UBSan ignores -ffile-prefix-map), which says nothing of what the program reads.
# Exit 0 when some file is named, 1 when none is.
# Arguments: PROGRAM SOURCE_DIR
set -u
program=$1 source_dir=$2
strings -a "$program" | grep -F "$source_dir/resources" | grep -v -E '\.(h|cpp)$' | sort -u | grep .
