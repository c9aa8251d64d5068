#!/usr/bin/env bash
# Static analysis of the native build (build-ci must be configured): clang-tidy with the
# checks in .clang-tidy, and cppcheck. Both must be clean.
set -euo pipefail
cd "$(dirname "$0")/.."

database=build-ci
[ -f "$database/compile_commands.json" ] || { echo "configure the ci preset first" >&2; exit 2; }

# The Windows files are built by the cross lane only, so they are not in this database.
git ls-files -- 'src/*.cpp' 'tests/*.cpp' 'fuzz/*.cpp' |
    grep -v -E '_win32\.cpp$|^tests/win32/|tst_version_resource|^fuzz/' |
    xargs -r -P 2 -n 4 clang-tidy -p "$database" --quiet 2> >(grep -v ' warnings generated\.$' >&2)
echo "clang-tidy: clean"

cppcheck --project="$database/compile_commands.json" --library=qt --library=googletest \
    --enable=warning,performance,portability --error-exitcode=1 --inline-suppr \
    --suppress=missingIncludeSystem --suppress=preprocessorErrorDirective \
    --suppress="*:*/$database/*" --suppress='*:/usr/*' -q -j 2
echo "cppcheck: clean"
