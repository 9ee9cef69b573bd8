#!/usr/bin/env bash
# Runs every example that a document of the source tree prints (every
# Markdown file and man page, found anew on each run) and compares what it
# prints with what the document prints. Each example block is marked on the
# line before it, unseen by readers:
#   <!-- example: KIND -->   in Markdown, before an indented block
#   .\" example: KIND        in the man page, before .nf ... .fi
# KIND is one of:
#   session   "$ command" lines, each followed by the output it prints
#             (standard output and standard error as a terminal shows them);
#             run one by one in a scratch folder, with ./build/zorbel and
#             zorbel standing for the build's zorbel, and /usr/share/zorbel
#             for the build's share/zorbel (as a quoted "$share");
#   config    a complete configuration: zorbel, started with it in a copy of
#             the sample folder, must print the local uptime and exit 0;
#   fragment  part of a configuration: added to a minimal one, it must parse.
#   run_examples.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
share=$build/share/zorbel
scratch=$(mktemp -d)
failed=0 count=0
trap 'if [ "$failed" = 0 ]; then rm -rf "$scratch"; else echo "Its files are kept in $scratch"; fi' EXIT
fail() { echo "FAIL: $*"; failed=1; }

# Writes each marked block of a document to $scratch/blocks/N.KIND.
extract() {
  awk -v out="$scratch/blocks" -v doc="$1" '
    function start(kind) { n++; file = sprintf("%s/%s-%03d.%s", out, doc, n, kind); pending = 1; inside = 0 }
    /<!-- example: [a-z]+ -->/ { k = $0; sub(/.*example: /, "", k); sub(/ -->.*/, "", k); start(k); next }
    /^\.\\" example: [a-z]+/ { k = $0; sub(/.*example: /, "", k); start(k); man = 1; next }
    pending && man && /^\.nf/ { inside = 1; next }
    pending && man && /^\.fi/ { pending = 0; man = 0; next }
    pending && man && inside { line = $0; gsub(/\\-/, "-", line); gsub(/\\e/, "\\", line); print line > file; next }
    pending && !man && /^    / { inside = 1; print substr($0, 5) > file; next }
    pending && !man && inside && /^$/ { print "" > file; next }
    pending && !man && inside { pending = 0 }
  ' "$2"
}

mkdir -p "$scratch/blocks" "$scratch/bin"
ln -s "$build/zorbel" "$scratch/bin/zorbel"
while IFS= read -r doc; do
  relative=${doc#"$source"/}
  extract "${relative//\//_}" "$doc"
done < <(find "$source" -type d \( -name .git -o -name 'build*' -o -name release \) -prune -o \
  -type f \( -name '*.md' -o -name '*.[1-8]' \) -print | sort)

# A fresh folder holding a copy of the sample data, and ./build; and
# libraries planted there, which zorbel must never load from the folder it
# is started in.
fresh() {
  rm -rf "$scratch/work"
  cp -r "$share/sample" "$scratch/work"
  ln -s "$build" "$scratch/work/build"
  echo 'not a library' | tee "$scratch/work/libc.so.6" >"$scratch/work/libnnotes.so"
}

run_session() { # BLOCK
  local command="" expected="" line
  fresh
  while IFS= read -r line || [ -n "$line" ]; do
    if [ "${line#\$ }" != "$line" ]; then
      [ -n "$command" ] && run_command "$command" "$expected" "${1##*/}"
      command=${line#\$ } expected=""
    else
      expected+="$line"$'\n'
    fi
  done <"$1"
  [ -n "$command" ] && run_command "$command" "$expected" "${1##*/}"
}

run_command() { # COMMAND EXPECTED BLOCK_NAME
  local got
  got=$(cd "$scratch/work" && PATH="$scratch/bin:$PATH" share=$share sh -c "${1//\/usr\/share\/zorbel/\"\$share\"}" 2>&1)
  got=${got//"$share"//usr/share/zorbel}
  count=$((count + 1))
  # A block may end in blank lines that the command does not print.
  if [ "$got" != "$(printf '%s' "$2")" ]; then
    fail "$3: \$ $1"
    printf '  printed:  %s\n' "$got"
    printf '  document: %s\n' "$2"
  fi
}

run_config() { # BLOCK
  fresh
  cp "$1" "$scratch/work/example.ini"
  local got
  got=$(cd "$scratch/work" && "$build/zorbel" "=example.ini" 2>&1)
  local status=$?
  count=$((count + 1))
  if [ $status != 0 ] || ! printf '%s' "$got" | grep -qE '^[0-9]+ days [0-9]{2}:[0-9]{2}:[0-9]{2}$'; then
    fail "${1##*/}: a complete configuration that does not run as printed (exit $status): $got"
  fi
}

run_fragment() { # BLOCK
  fresh
  { printf '[runtime]\ndata = reports\nlocal = local.txt\n'; cat "$1"; } >"$scratch/work/example.ini"
  local got
  got=$(cd "$scratch/work" && "$build/zorbel" "=example.ini" "/?" 2>&1)
  local status=$?
  count=$((count + 1))
  if [ $status = 3 ] || printf '%s' "$got" | grep -q 'is not valid'; then
    fail "${1##*/}: a fragment that does not parse in a minimal configuration: $got"
  fi
}

for block in "$scratch"/blocks/*; do
  [ -e "$block" ] || continue
  case $block in
  *.session) run_session "$block" ;;
  *.config) run_config "$block" ;;
  *.fragment) run_fragment "$block" ;;
  *) fail "${block##*/}: unknown kind of example" ;;
  esac
done
[ $count -gt 0 ] || fail "no marked examples in the documents of $source"
[ $failed = 0 ] && echo "OK: $count examples run as printed"
exit $failed
