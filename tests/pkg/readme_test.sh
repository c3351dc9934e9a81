#!/usr/bin/env bash
# Keeps the README true. Its set-up section names scripts/run and scripts/test; every command of
# its ```sh blocks is run: meridel-cli commands here (a ```text block right after one is the
# output it must print), scripts/... by being an executable script, and any other command by
# standing, word for word, on a line of a script or test that runs it.
# usage: readme_test.sh SOURCE_DIR MERIDEL_CLI
set -euo pipefail
source=$(realpath "$1") cli=$(realpath "$2")
readme=$source/README.md
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin" "$scratch/run"
ln -s "$cli" "$scratch/bin/meridel-cli"
# The README's plan file commands name the example plans as if run in examples/.
cp "$source"/examples/*.toml "$scratch/run/"

setup=$(sed -n '/^## Set-up/,/^## /p' "$readme")
for script in scripts/run scripts/test; do
  grep -qE "^    $script( |\$)" <<<"$setup" || fail "the set-up section has no command line \"$script\""
done

# Splits the README into its fenced blocks: file NNN.sh or NNN.text, numbered in order.
awk -v dir="$scratch" '
  /^```(sh|text)$/ && !inside { inside = 1; n++; file = sprintf("%s/%03d.%s", dir, n, substr($0, 4)); printf "" > file; next }
  /^```/ && inside { inside = 0; close(file); next }
  /^```/ { n++; next }  # a block of another language still counts for "right after"
  inside { print >> file }' "$readme"

runs_in_repository() {  # a line of a script or test, not a comment, holds the whole command
  find "$source/scripts" "$source/tests/pkg" -type f ! -name readme_test.sh -print0 |
    xargs -0 awk -v command="$1" '
      /^[[:space:]]*#/ { next }
      {
        at = index($0, command)
        if (!at) next
        before = substr($0, at - 1, 1); after = substr($0, at + length(command), 1)
        if (before ~ /^([[:space:](;&|'"'"'"]|)$/ && after ~ /^([[:space:]);&|>'"'"'"]|)$/) found = 1
      }
      END { exit !found }'
}

commands=0
for block in "$scratch"/*.sh; do
  [ -e "$block" ] || break
  number=$(basename "$block" .sh)
  output=$scratch/$(printf '%03d' $((10#$number + 1))).text
  # A trailing "\" continues a command on the next line.
  while IFS= read -r command; do
    [ -n "$command" ] || continue
    commands=$((commands + 1))
    case "$command" in
      meridel-cli*)
        if ! (cd "$scratch/run" && PATH="$scratch/bin:$PATH" bash -c "$command" >"$scratch/out"); then
          fail "README command failed: $command"
        elif [ -f "$output" ] && ! diff <(tr -d '\r' <"$scratch/out") "$output" >"$scratch/diff"; then
          fail "the README shows another output of \"$command\":"
          cat "$scratch/diff" >&2
        fi
        ;;
      scripts/*)
        [ -x "$source/${command%% *}" ] || fail "README command $command: no such executable script"
        ;;
      *)
        runs_in_repository "$command" ||
          fail "README command \"$command\" is run by no script in scripts/ nor test in tests/pkg/"
        ;;
    esac
  done < <(sed -e ':a' -e '/\\$/N; s/\\\n[[:space:]]*//; ta' "$block")
done
[ $commands -gt 0 ] || fail "the README has no \`\`\`sh command"

[ $failures -eq 0 ] || exit 1
echo "README: set-up commands present, $commands commands run or found in the repository"
