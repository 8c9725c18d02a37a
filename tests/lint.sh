#!/usr/bin/env bash
# The scripts are checked as the C++ is formatted: shellcheck reads every shell script and flake8
# every Python one (a check turned off says why, where it is turned off), and no tracked source,
# test or script file grows past 400 lines, where the part of it with a name of its own belongs
# in a file of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t shell < <(git ls-files -- '*.sh' dev .ci/run)
mapfile -t python < <(git ls-files -- '*.py')
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' '*.js' '*.css' '*.sh' '*.py' dev .ci/run)
status=0
shellcheck -x "${shell[@]}" || status=1
/usr/bin/python3 -m flake8 "${python[@]}" || status=1
while read -r lines file; do
    if [ "$file" != total ] && [ "$lines" -gt 400 ]; then
        echo "$file: $lines lines, over 400"
        status=1
    fi
done < <(wc -l "${sources[@]}")
[ "$status" -eq 0 ] && echo "${#shell[@]} shell and ${#python[@]} Python scripts clean," \
    "${#sources[@]} files of 400 lines or fewer"
exit "$status"
