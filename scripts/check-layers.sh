#!/usr/bin/env bash
# Fails on any include under src/ that points up or sideways between the layers:
#   app -> qt | win32 -> core <- os,  app -> os,  linux/* -> linux/logind -> core.
# An include without a folder stays in its own folder; one with a folder names the layer
# it reaches into (the include root is src/).
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {
    local from=$1 to=$2
    [ "$from" = "$to" ] && return 0
    case "$from:$to" in
    app:qt | app:win32 | app:os | app:core) return 0 ;;
    qt:core | win32:core | os:core) return 0 ;;
    linux/*:core | linux/*:linux/logind) return 0 ;;
    esac
    return 1
}

layer_of() {
    case "$1" in
    linux/*) echo "$1" | cut -d/ -f1-2 ;;
    *) echo "${1%%/*}" ;;
    esac
}

status=0
while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/' <<<"$text")
    from=$(layer_of "$file")
    case "$target" in
    */*) to=$(layer_of "$target") ;;
    *) to=$from ;;
    esac
    if [ "$to" != "$from" ] && [ ! -d "$to" ]; then
        echo "src/$file:$line: includes \"$target\", which is in no layer" >&2
        status=1
    elif ! allowed "$from" "$to"; then
        echo "src/$file:$line: $from must not include $to (\"$target\")" >&2
        status=1
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' --include='*.h' --include='*.cpp' \
    --include='*.in' . | sed 's#^\./##')

# The core is what every compiler builds as it is: no toolkit, no system header; the
# system's side needs no toolkit either.
toolkit='Q[A-Za-z]*|windows\.h|commctrl\.h'
system='unistd\.h|spawn\.h|sys/[^>]*|dbus[^>]*'
while IFS=: read -r file line text; do
    echo "src/$file:$line: includes a toolkit or system header: $text" >&2
    status=1
done < <({
    grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($toolkit|$system)>" core || true
    grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*)>" os || true
})

[ "$status" -eq 0 ] && echo "layers: every include points down"
exit "$status"
