#!/usr/bin/env bash
# Checks the tree's naming rule (docs/CONVENTIONS.md) with clang-tidy's
# readability-identifier-naming, as configured in .clang-tidy.
#
#   tools/ci/check-naming.sh [-p BUILD_DIR] [--base REF]   the lines changed since REF
#   tools/ci/check-naming.sh [-p BUILD_DIR] FILE...         every line of these files
#   tools/ci/check-naming.sh [-p BUILD_DIR] --all           every source file of the build
#
# Without files the base is the merge base of HEAD with origin/main (or main),
# or the previous commit when HEAD is on that branch; changes not yet
# committed count too. Only declarations on the changed lines are judged, so
# new and touched code follows the rule while untouched code waits for its
# turn. A changed header is checked through a source file that includes it.
# Needs the compilation database of a configured build (BUILD_DIR, default
# "build"). Exits 1 on any naming warning, 2 on a usage or set-up error.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
repo=$(pwd)

build_dir=build
base=
all=0
files=()
while [ $# -gt 0 ]; do
  case "$1" in
    -p) build_dir=${2:?-p needs a build folder}; shift 2 ;;
    --base) base=${2:?--base needs a git reference}; shift 2 ;;
    --all) all=1; shift ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "check-naming: unknown option $1" >&2; exit 2 ;;
    *) files+=("$1"); shift ;;
  esac
done

database="$build_dir/compile_commands.json"
if [ ! -f "$database" ]; then
  echo "check-naming: no $database; configure the build first" >&2
  exit 2
fi
tidy=${CLANG_TIDY:-clang-tidy}
if ! command -v "$tidy" >/dev/null; then
  echo "check-naming: $tidy not found (Debian package clang-tidy)" >&2
  exit 2
fi

# The sources the build compiles, relative to the repository.
mapfile -t compiled < <(grep -o '"file": *"[^"]*"' "$database" | sed 's/"file": *"//; s/"$//' |
  sed "s|^$repo/||" | grep -v -e '^/' -e '^build' -e "^$build_dir/" | sort -u)
is_compiled() { printf '%s\n' "${compiled[@]}" | grep -qxF "$1"; }

# A compiled source file that includes header $1, for checking the header.
includer_of() {
  local header=$1 token
  case "$header" in
    */include/*) token=${header#*/include/} ;;
    *) token=$(basename "$header") ;;
  esac
  local source
  for source in "${compiled[@]}"; do
    if grep -qF "\"$token\"" "$source" 2>/dev/null; then
      echo "$source"
      return
    fi
  done
}

# file -> line ranges ("a-b,c-d"), empty for the whole file.
declare -A ranges=()
if [ "$all" -eq 1 ]; then
  for f in "${compiled[@]}"; do ranges[$f]=""; done
elif [ ${#files[@]} -gt 0 ]; then
  for f in "${files[@]}"; do
    f=${f#"$repo"/}
    f=${f#./}
    if [ ! -f "$f" ]; then
      echo "check-naming: no file $f" >&2
      exit 2
    fi
    ranges[$f]=""
  done
else
  if ! git rev-parse --git-dir >/dev/null 2>&1; then
    echo "check-naming: not a git checkout; name the files to check" >&2
    exit 2
  fi
  if [ -z "$base" ]; then
    for branch in origin/main main; do
      if git rev-parse --verify -q "$branch" >/dev/null; then
        base=$(git merge-base HEAD "$branch")
        break
      fi
    done
    if [ -z "$base" ] || [ "$base" = "$(git rev-parse HEAD)" ]; then
      base=$(git rev-parse -q --verify HEAD~1 || true)
    fi
    if [ -z "$base" ]; then
      echo "check-naming: no earlier commit to compare with; nothing to check"
      exit 0
    fi
  fi
  # Added lines of every changed C++ file, as "file first-last" pairs.
  while read -r file first last; do
    [ -f "$file" ] || continue
    if [ -n "${ranges[$file]+set}" ] && [ -n "${ranges[$file]}" ]; then
      ranges[$file]+=",$first-$last"
    else
      ranges[$file]="$first-$last"
    fi
  done < <(git diff -U0 --no-color "$base" -- '*.cpp' '*.h' | awk '
    /^\+\+\+ / { file = substr($0, 7); if (file == "/dev/null" || $2 == "/dev/null") file = ""; next }
    /^@@ / {
      if (file == "") next
      split($3, added, ",")
      start = substr(added[1], 2) + 0
      count = (2 in added) ? added[2] + 0 : 1
      if (count > 0) print file, start, start + count - 1
    }')
fi

# Which translation units to run, and the line filter that limits the
# warnings to the chosen files and lines.
declare -A units=()
filter=""
for f in "${!ranges[@]}"; do
  case "$f" in
    build/*|*/build/*) continue ;;
    *.cpp|*.cc)
      if is_compiled "$f"; then units[$f]=1; else continue; fi ;;
    *.h|*.hpp)
      unit=$(includer_of "$f")
      if [ -z "$unit" ]; then continue; fi
      units[$unit]=1 ;;
    *) continue ;;
  esac
  entry="{\"name\":\"$f\""
  if [ -n "${ranges[$f]}" ]; then
    entry+=",\"lines\":["
    sep=""
    IFS=',' read -r -a spans <<<"${ranges[$f]}"
    for span in "${spans[@]}"; do
      entry+="$sep[${span%-*},${span#*-}]"
      sep=","
    done
    entry+="]"
  fi
  entry+="}"
  filter+="${filter:+,}$entry"
done

if [ ${#units[@]} -eq 0 ]; then
  echo "check-naming: no changed C++ source to check${base:+ since $(git rev-parse --short "$base")}"
  exit 0
fi

echo "check-naming: ${#units[@]} source file(s)${base:+, lines changed since $(git rev-parse --short "$base")}"
args=(-p "$build_dir" --quiet)
if [ "$all" -eq 0 ]; then args+=("--line-filter=[$filter]"); fi
output=$(printf '%s\n' "${!units[@]}" | sort |
  xargs -r -P "${JOBS:-$(nproc)}" -n 4 "$tidy" "${args[@]}" 2>&1 || true)

# Warnings with a place in the repository's own sources. Notes, and what
# clang reports inside system headers (this clang does not parse every
# construct of the standard library it is given), do not count.
findings=$(printf '%s\n' "$output" | grep -E "^$repo/[^ :]+:[0-9]+:[0-9]+: (warning|error): " |
  grep -v -E "^$repo/$build_dir/" | sort -u || true)
if [ -n "$findings" ]; then
  printf '%s\n' "$findings"
  echo "check-naming: $(printf '%s\n' "$findings" | wc -l) naming problem(s); see docs/CONVENTIONS.md" >&2
  exit 1
fi
echo "check-naming: names follow the rule"
