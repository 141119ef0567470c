# Sourced by ./run, ./test and fuzz/run-fuzz: builds and test runs that say
# what they do while they run, on the standard output of the caller (./run
# sends it to standard error), each ending with its count and its time.

# Whether the heading of what is going on has been printed.
progress_said=0

# Prints the heading, once.
say_once() {
  if [ "$progress_said" -eq 0 ] && [ -n "$1" ]; then
    printf '%s' "$1"
    progress_said=1
  fi
}

# "42 s", "3 m 05 s": the time since START (seconds since the epoch).
elapsed_since() {
  local seconds=$(($(date +%s) - $1))
  if [ "$seconds" -ge 60 ]; then
    printf '%d m %02d s' $((seconds / 60)) $((seconds % 60))
  else
    printf '%d s' "$seconds"
  fi
}

# Prints " N%" when PERCENT has passed another tenth since the last one
# printed (progress_shown), and 100% once.
show_percent() {
  local percent=$1
  if [ "$percent" -ge $((progress_shown + 10)) ] || { [ "$percent" -eq 100 ] && [ "$progress_shown" -ne 100 ]; }; then
    printf ' %d%%' "$percent"
    progress_shown=$percent
  fi
}

# build_with_progress HEADING LOG ARGUMENTS...
# Runs cmake --build ARGUMENTS with its output appended to LOG. As soon as
# the build has anything to do it prints HEADING (once, see say_once), then
# the build's percentage each time it passes another tenth; a build with
# nothing to do prints nothing. Sets built_files to the number of files
# compiled; returns the build's exit status.
build_with_progress() {
  local heading=$1 log=$2
  shift 2
  local line percent
  progress_shown=-10
  built_files=0
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    # Makefiles: "[ 42%] Building CXX object ..."; Ninja: "[12/80] Building ...".
    if [[ $line =~ ^\[\ *([0-9]+)%\]\ (Building|Linking) ]]; then
      percent=${BASH_REMATCH[1]}
    elif [[ $line =~ ^\[([0-9]+)/([0-9]+)\]\ (Building|Linking) ]]; then
      percent=$((BASH_REMATCH[1] * 100 / BASH_REMATCH[2]))
    else
      continue
    fi
    [[ $line == *" Building "* ]] && built_files=$((built_files + 1))
    say_once "$heading"
    show_percent "$percent"
  done < <(cmake --build "$@" 2>&1)
  wait $!
}

# The end of a build that went well: " 100%" if the build's last line said
# less, then ", N files compiled in T"; or " nothing to build, T" when the
# build had nothing to do. START as for elapsed_since.
build_done() {
  if [ "$progress_shown" -lt 0 ]; then
    echo " nothing to build, $(elapsed_since "$1")"
    return
  fi
  show_percent 100
  local files="$built_files files"
  [ "$built_files" -eq 1 ] && files="1 file"
  echo ", $files compiled in $(elapsed_since "$1")"
}

# test_with_progress BUILD LOG ARGUMENTS...
# Runs ctest ARGUMENTS in BUILD with its output in LOG, printing the share
# of tests done each time it passes another tenth. Returns ctest's status.
test_with_progress() {
  local build=$1 log=$2
  shift 2
  local line
  progress_shown=-10
  : >"$log"
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    # "17/530 Test  #17: Name ....   Passed    0.01 sec"
    if [[ $line =~ ^\ *([0-9]+)/([0-9]+)\ Test\ +# ]]; then
      show_percent $((BASH_REMATCH[1] * 100 / BASH_REMATCH[2]))
    fi
  done < <(cd "$build" && ctest "$@" 2>&1)
  wait $!
}

# The output ctest gave for each test that failed, from LOG (a run with
# --output-on-failure).
failed_test_output() {
  awk '/^ *[0-9]+\/[0-9]+ Test +#/ { show = /\*\*\*/ && !/\*\*\*Skipped/ }
       /^ +Start +[0-9]+:/ || /tests passed, .* tests failed out of/ { show = 0 }
       show' "$1"
}

# "NAME: reason" for each test ctest skipped, from its LOG and the
# LastTest.log of BUILD: what GoogleTest's GTEST_SKIP said, or the last line
# a test script printed before it asked to be skipped.
skip_reasons() {
  local log=$1 build=$2
  local names
  names=$(sed -nE 's/^[[:space:]]+[0-9]+ - (.*) \(Skipped\)$/\1/p' "$log")
  [ -n "$names" ] || return 0
  awk -v names="$names" '
    BEGIN { n = split(names, list, "\n"); for (i = 1; i <= n; i++) wanted[list[i]] = 1 }
    /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); reason = ""; last = ""; output = 0; skip = 0; next }
    /^Output:$/ { output = 1; next }
    /^<end of output>$/ {
      output = 0
      if (name in wanted) printf "%s: %s\n", name, (reason != "" ? reason : last)
      next
    }
    !output { next }
    /^\[  SKIPPED \]/ { skip = 0; next }
    skip { if (NF) reason = reason (reason != "" ? " " : "") $0; next }
    /: Skipped$/ { skip = 1; next }
    /^-+$/ { next }
    NF { last = $0 }
  ' "$build/Testing/Temporary/LastTest.log"
}
