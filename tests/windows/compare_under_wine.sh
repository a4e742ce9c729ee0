#!/usr/bin/env bash
# compare_under_wine.sh [LINUX_BUILD [WINDOWS_BUILD]]: runs the Windows
# programs (WINDOWS_BUILD, default build-windows) under Wine and the Linux
# programs (LINUX_BUILD, default build) on the same cases, each side in a
# folder of its own, and requires the same bytes on standard output, the
# same bytes on standard error, the same exit status and the same files:
#
# - every example, alone, and the three chained on one input: from a file
#   (through Wine's inherited descriptor and through a Windows file handle)
#   and through a pipe (a Windows pipe fed piece by piece); what the chain
#   leaves unread must be the same too;
# - generated sessions of each builder (SESSIONS per builder, default 16),
#   from a file and through a pipe, with LF, CR LF and CR CR LF line ends and
#   half of them ending in a run-time error; four of each chained as above;
# - gwinspect answers on every file written, and the round trip: the
#   builder, given those answers, writes the same file again; gwinspect
#   check and gwinspect report (the page's bytes) on the example model, the
#   faulty one, the chained sessions and a grid whose maps are reduced;
# - answers typed at a console: a whole session, a line over 130
#   characters, Ctrl-Z then Enter, Ctrl-C at a question;
# - faults: a directory in the output file's place, a full standard output,
#   an existing file cut or kept, a second run refused while a first one
#   holds the file, the command-line options.
#
# A case whose Windows side the harness could not run (Wine could not start
# a program: run_in_turn's status 125, or Wine's own loader message) is no
# difference between the builds: that side is run again, up to three times,
# and if it still cannot be run, it is reported apart, with its reason, as
# the harness's failure (the script then fails, saying so). Nothing here
# waits a fixed time for a program: each step waits for what it needs (a
# prompt on the console, a run's end), up to a generous bound.
#
# Wine runs in a scratch prefix that is removed afterwards, with the runs
# (KEEP=1 keeps them and says where).
set -euo pipefail
cd "$(dirname "$0")/../.."
here=$(pwd)
linux=$(cd "${1:-build}" && pwd)
windows=$(cd "${2:-build-windows}" && pwd)
sessions=${SESSIONS:-16}
fail() { echo "compare_under_wine: $*" >&2; exit 1; }

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || fail "no wine64 (Debian: apt-get install wine64)"
for program in Morvek Cindral Quillet gwinspect; do
  [ -f "$windows/bin/$program.exe" ] || fail "$windows/bin/$program.exe missing (make windows)"
done
[ -f "$windows/tests/windows/run_in_turn.exe" ] || fail "$windows/tests/windows/run_in_turn.exe missing (make windows)"
for program in Morvek Cindral Quillet gwinspect; do
  [ -x "$linux/bin/$program" ] || fail "$linux/bin/$program missing (make build)"
done
[ -x "$linux/tests/windows/write_sessions" ] || fail "$linux/tests/windows/write_sessions missing (make build)"

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver=$(dirname "$wine")/wineserver
cleanup() {
  [ -x "$wineserver" ] && "$wineserver" -k > /dev/null 2>&1 || true  # this prefix's server only
  if [ -n "${KEEP:-}" ]; then echo "The runs are kept in $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT
"$wine" wineboot --init > /dev/null 2>&1 || fail "Wine does not start"
# wineboot returns before the prefix's own processes are done setting it up:
# the first cases must not race them.
"$wineserver" -w

# wait_until SECONDS COMMAND...: runs COMMAND every tenth of a second until
# it succeeds (status 0) or about SECONDS have passed (status 1).
wait_until() {
  local tenths=$(($1 * 10))
  shift
  until "$@"; do
    tenths=$((tenths - 1))
    [ "$tenths" -gt 0 ] || return 1
    sleep 0.1
  done
}

# A path as the Windows programs name it (Wine shows / as drive Z:).
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# One program of the side being run (side=linux or side=windows).
run_program() {
  local program=$1
  shift
  if [ "$side" = windows ]; then
    "$wine" "$windows/bin/$program.exe" "$@"
  else
    "$linux/bin/$program" "$@"
  fi
}

# harness_failure FOLDER: prints why the Windows side in FOLDER was not run
# (status 0), or nothing (status 1) when it was: Wine's loader could not
# start a program ("wine: failed to ...", "wine: could not ...", "wine
# client error", on standard error; a program's crash, "wine: Unhandled
# ...", is the program's), or run_in_turn ended with 125 and said why.
harness_failure() {
  local folder=$1
  if [ "$(cat "$folder/status" 2> /dev/null)" = 125 ] && grep -qs '^run_in_turn: ' "$folder/err"; then
    grep -h '^run_in_turn: ' "$folder/err"
    return 0
  fi
  grep -hs -e '^wine: \(failed to\|could not\|cannot\) ' -e '^wine client error' "$folder"/*err
}

cases=0
failures=0
harness_failures=0
# compare NAME COMMAND...: runs COMMAND in the folder NAME of each side,
# keeping its standard output, standard error and exit status beside the
# files it wrote there, and compares the two folders.
compare() {
  local name=$1 side kept try why=
  shift
  for side in linux windows; do
    for try in 1 2 3; do
      rm -rf "${scratch:?}/$side/$name"
      mkdir -p "$scratch/$side/$name"
      (cd "$scratch/$side/$name" && { set +e; "$@" > out 2> err; echo $? > status; })
      [ "$side" = windows ] && why=$(harness_failure "$scratch/$side/$name") || break
      echo "  (the harness could not run $name on Windows, try $try of 3: $why)"
    done
  done
  cases=$((cases + 1))
  if [ -n "$why" ]; then
    harness_failures=$((harness_failures + 1))
    echo "NOT RUN: $name ($*): the harness failed, not a program: $why"
    return
  fi
  if ! diff -r "$scratch/linux/$name" "$scratch/windows/$name" > "$scratch/difference" 2>&1; then
    failures=$((failures + 1))
    echo "DIFFERENT: $name ($*)"
    head -n 20 "$scratch/difference" | sed 's/^/  /'
    for kept in out err status; do
      if ! cmp -s "$scratch/linux/$name/$kept" "$scratch/windows/$name/$kept"; then
        echo "  $kept, Linux:";   head -c 600 "$scratch/linux/$name/$kept" | od -c | head -n 12 | sed 's/^/    /'
        echo "  $kept, Windows:"; head -c 600 "$scratch/windows/$name/$kept" | od -c | head -n 12 | sed 's/^/    /'
      fi
    done
  fi
}

# ---- The cases ----------------------------------------------------------------

inputs=$scratch/inputs
mkdir -p "$inputs"
cp examples/morvek.txt examples/cindral.txt examples/quillet.txt "$inputs/"
cat "$inputs/morvek.txt" "$inputs/cindral.txt" "$inputs/quillet.txt" > "$inputs/session.txt"
printf 'a line left for the next program\n' >> "$inputs/session.txt"
"$linux/tests/windows/write_sessions" "$inputs" "$sessions"

from_file() { run_program "$1" < "$2"; }
through_pipe() { cat "$2" | run_program "$1"; }

# The three builders on one input, each followed by its status, then what
# they left unread, in the file `rest`.
in_turn() {  # file|pipe ANSWERS
  local how=$1 answers=$2
  if [ "$side" = windows ]; then
    "$wine" "$windows/tests/windows/run_in_turn.exe" $([ "$how" = pipe ] && echo --pipe) "$(windows_path "$answers")" \
      "$(windows_path "$windows/bin/Morvek.exe")" "$(windows_path "$windows/bin/Cindral.exe")" \
      "$(windows_path "$windows/bin/Quillet.exe")"
    return
  fi
  chain() {
    run_program Morvek; echo "status $?"
    run_program Cindral; echo "status $?"
    run_program Quillet; echo "status $?"
    cat > rest
  }
  if [ "$how" = pipe ]; then cat "$answers" | chain; else chain < "$answers"; fi
}

# The same chain through the descriptor Wine's programs inherit from the shell.
in_turn_from_shell() {  # ANSWERS
  {
    run_program Morvek; echo "status $?"
    run_program Cindral; echo "status $?"
    run_program Quillet; echo "status $?"
    cat > rest
  } < "$1"
}

# gwinspect answers on FILE (copied here as NAME), then the builder on those
# answers in a folder of its own, which must write the same file.
answers_round_trip() {  # FILE NAME BUILDER
  cp "$1" "$2"
  run_program gwinspect answers "$2" > answers
  echo "gwinspect status $?"
  mkdir again
  (cd again && run_program "$3" < ../answers > out 2> err; echo "builder status $?")
  if cmp -s "$2" "again/$2"; then echo "round trip: the same $2"; else echo "round trip: another $2"; fi
}

echo "The harness: a program that cannot be started is its failure, not a difference"
# run_in_turn on a program that is not there: every try fails, and it ends
# with 125 and the system's reason, which compare() takes for the harness's
# failure; so does Wine's loader's own message.
mkdir -p "$scratch/harness"
(cd "$scratch/harness" && {
  set +e
  "$wine" "$windows/tests/windows/run_in_turn.exe" "$(windows_path "$inputs/quillet.txt")" \
    "$(windows_path "$scratch/harness/No such program.exe")" > out 2> err
  echo $? > status
})
why=$(harness_failure "$scratch/harness") || fail "a program that cannot be started was taken for a program's run: $(cat "$scratch/harness/err")"
case $why in
  "run_in_turn: cannot start "*"No such program.exe (5 tries): "?*) echo "  $why" ;;
  *) fail "run_in_turn did not say which program it could not start, nor why: $why" ;;
esac
[ ! -s "$scratch/harness/out" ] || fail "run_in_turn reported a status for a program it could not start"
(cd "$scratch/harness" && { "$wine" "$scratch/harness/No such program.exe" > out 2> err; echo $? > status; }) || true
why=$(harness_failure "$scratch/harness") || fail "Wine's failure to start a program was taken for a program's run: $(cat "$scratch/harness/err")"
echo "  $why"

echo "Examples, alone and chained"
compare example-morvek from_file Morvek "$inputs/morvek.txt"
compare example-cindral from_file Cindral "$inputs/cindral.txt"
compare example-quillet from_file Quillet "$inputs/quillet.txt"
compare chained-file in_turn file "$inputs/session.txt"
compare chained-pipe in_turn pipe "$inputs/session.txt"
compare chained-shell in_turn_from_shell "$inputs/session.txt"

echo "Generated sessions: $sessions a builder, from a file and through a pipe"
while read -r program file; do
  compare "${file%.txt}-file" from_file "$program" "$inputs/$file"
  compare "${file%.txt}-pipe" through_pipe "$program" "$inputs/$file"
done < "$inputs/sessions.txt"

echo "Generated sessions chained, from a file and through a pipe"
for n in $(seq 1 $((sessions < 4 ? sessions : 4))); do
  cat "$inputs/Morvek-$n.txt" "$inputs/Cindral-$n.txt" "$inputs/Quillet-$n.txt" > "$inputs/chain-$n.txt"
  compare "chain-$n-file" in_turn file "$inputs/chain-$n.txt"
  compare "chain-$n-pipe" in_turn pipe "$inputs/chain-$n.txt"
done

echo "gwinspect answers on every file written, and back through the builder"
trips=0
for written in "$scratch"/linux/example-*/FOR0* "$scratch"/linux/{Morvek,Cindral,Quillet}-*-file/FOR0*; do
  [ -f "$written" ] || continue
  folder=$(basename "$(dirname "$written")")
  name=$(basename "$written")
  case $name in FOR001) builder=Morvek ;; FOR011) builder=Cindral ;; *) builder=Quillet ;; esac
  cp "$written" "$inputs/$folder-$name"
  compare "answers-$folder" answers_round_trip "$inputs/$folder-$name" "$name" "$builder"
  trips=$((trips + 1))
done
round_trips=$(cat "$scratch"/windows/answers-*/out | grep -c "round trip: the same" || true)
echo "  $round_trips of $trips round trips on Windows gave the same file again"

echo "gwinspect check and report on whole models"
# The model here: its check in both formats and its page (report.html,
# compared with the other files).
checked_and_drawn() {
  run_program gwinspect check; echo "check status $?"
  run_program gwinspect check --format=json .; echo "check status $?"
  run_program gwinspect report; echo "report status $?"
}
# The builders of the side on a folder's three answer files, then the above.
model_checked() {  # FOLDER
  run_program Morvek < "$1/morvek.txt" > /dev/null 2>&1
  run_program Cindral < "$1/cindral.txt" > /dev/null 2>&1
  run_program Quillet < "$1/quillet.txt" > /dev/null 2>&1
  checked_and_drawn
}
files_checked() {  # FOLDER whose FOR0nn files are checked here
  cp "$1"/FOR0* .
  checked_and_drawn
}
compare check-example model_checked "$here/examples"
compare check-faulty-example model_checked "$here/examples/faulty"
for chain in "$scratch"/linux/chain-*-file; do
  compare "check-$(basename "$chain")" files_checked "$chain"
done
# 400 rows by 1500 columns, all active but a lone no-flow and a lone
# constant-head cell: wider than a map's 1000 pixels, so each map is reduced.
mkdir -p "$inputs/large"
awk 'BEGIN {
  print "Large grid"; print "reduced maps"; print 1; print 400; print 1500; print 1; print 4
  for (i = 0; i < 11; i++) print 0
  print 0; print 0; print 1
  for (r = 1; r <= 400; r++) for (c = 1; c <= 1500; c++) print (r == 201 && c == 777) ? 0 : (r == 10 && c == 1400) ? -1 : 1
  print 999; print 0; print 100; print 1; print 1; print 1
}' > "$inputs/large-grid.txt"
(cd "$inputs/large" && "$linux/bin/Morvek" < ../large-grid.txt > /dev/null) || fail "Morvek could not write the large grid"
compare check-large-grid files_checked "$inputs/large"
compare report-no-model run_program gwinspect report missing
compare report-unwritable run_program gwinspect report "$scratch/linux/check-example" -o no-such-folder/report.html

echo "Typed at a console (Wine's console on a pseudo-terminal)"
# Standard input is the terminal, standard output and error go to files:
# the typed-line rules hold, and the console bytes can be compared (Wine's
# console adds its own control sequences to what a terminal shows). The
# answers are typed once the first prompt is out, each ended by Enter (CR);
# Ctrl-Z is a plain key here (no suspend).
typed_at_console() {  # PROGRAM TYPED [KEY TEXT: KEY typed once the program has written TEXT]
  local program=$1 typed=$2 later=${3:-} after=${4:-} command terminal="susp undef"
  if [ "$side" = windows ]; then
    command=$(printf '%q %q' "$wine" "$windows/bin/$program.exe")
    # Wine's console reads the terminal raw and takes CR as Enter; it must
    # get the keys so even if they come before it has set the terminal up.
    terminal="$terminal -icanon -icrnl"
  else
    command=$(printf '%q' "$linux/bin/$program")
  fi
  # Ctrl-C ends Linux's program by SIGINT (status 130 in the shell) and
  # Windows' as an unhandled Ctrl-C would (0xC000013A, 58 in the shell):
  # both are written as the same words. The shell itself goes on (trap).
  # The keys wait for the prompt they answer, and the terminal stays open
  # until the program has ended (an early end of input would end it too).
  (wait_until 60 test -s console-out && cat "$typed"
   [ -z "$later" ] || { wait_until 60 grep -qF -- "$after" console-out && printf "$later"; }
   wait_until 60 test -e console-status) |
    timeout 60 script -qec "trap : INT; stty $terminal; $command > console-out 2> console-err;
      status=\$?; case \$status in 130|58) echo ended by Ctrl-C;; *) echo \$status;; esac > console-status" \
      /dev/null > /dev/null
}
typed() { tr '\n' '\r'; }  # lines as typed: each ended by Enter
typed < "$inputs/quillet.txt" > "$inputs/quillet-typed.txt"
{ head -n 3 "$inputs/quillet.txt"; printf '%0131d\n' 7; } | typed > "$inputs/line-too-long.txt"
{ head -n 4 "$inputs/quillet.txt"; printf '\032\n'; } | typed > "$inputs/ctrl-z.txt"
{ head -n 2 "$inputs/quillet.txt"; printf '3\032\n'; } | typed > "$inputs/ctrl-z-after.txt"
head -n 3 "$inputs/quillet.txt" | typed > "$inputs/three-answers.txt"
# Ctrl-C is typed once the fourth question is out whole: its last line, as
# the Linux Quillet prints it after three answers from a file.
mkdir "$inputs/fourth-question"
fourth_question=$(cd "$inputs/fourth-question" && head -n 3 "$inputs/quillet.txt" | "$linux/bin/Quillet" 2> /dev/null |
  tail -n 1 | tr -d '\r') || true
[ -n "$fourth_question" ] || fail "the Linux Quillet printed no fourth question"
compare console-quillet typed_at_console Quillet "$inputs/quillet-typed.txt"
compare console-line-too-long typed_at_console Quillet "$inputs/line-too-long.txt"
compare console-ctrl-z typed_at_console Quillet "$inputs/ctrl-z.txt"
compare console-ctrl-z-after-answer typed_at_console Quillet "$inputs/ctrl-z-after.txt"
compare console-ctrl-c typed_at_console Quillet "$inputs/three-answers.txt" '\003' "$fourth_question"

echo "Faults and the command line"
directory_in_place() { mkdir FOR013; run_program Quillet < "$1"; }
full_output() { run_program Quillet < "$1" > /dev/full; }
old_file_cut() { seq 10000 > FOR013; run_program Quillet < "$1"; }
old_file_kept() { seq 10000 > FOR013; run_program Quillet < /dev/null; }
compare fault-directory directory_in_place "$inputs/quillet.txt"
compare fault-full-output full_output "$inputs/quillet.txt"
compare fault-old-file-cut old_file_cut "$inputs/quillet.txt"
compare fault-old-file-kept old_file_kept
# A second run in the folder while the first waits for its first answer
# with FOR013 open: refused at its opening, the file untouched. (Linux names
# the first run's process, Windows cannot: that part is left out.) The first
# run gets its answer only once the second has ended, however long that takes.
second_run_refused() {
  (wait_until 120 test -e second-ended; printf '2\n') | run_program Quillet > first-out 2> first-err &
  local first=$!
  wait_until 120 test -s first-out
  run_program Quillet < "$1" 2>&1 | sed 's/ (process [0-9]*)//'
  echo "second run: status ${PIPESTATUS[0]}"
  touch second-ended
  wait "$first"
  echo "first run: status $?"
  rm -f second-ended
}
compare fault-second-run second_run_refused "$inputs/quillet.txt"
for program in Morvek Cindral Quillet gwinspect; do
  compare "help-$program" run_program "$program" --help
  compare "version-$program" run_program "$program" --version
  compare "usage-$program" run_program "$program" --bogus
done
no_such_file() { run_program gwinspect answers FOR001; }
directory_to_read() { mkdir FOR011; run_program gwinspect answers FOR011; }
# Windows' file systems ignore the case of names: there gwinspect takes
# for001 for FOR001 (and finds the for001 beside a for013), as Linux takes
# the names the builders write. The notes name the file as it was given.
named_in_lower_case() {  # FOLDER holding FOR001, FOR011 and FOR013
  local number name status
  mkdir model
  for number in 001 011 013; do
    name=FOR$number
    [ "$side" = windows ] && name=for$number
    cp "$1/FOR$number" "model/$name"
  done
  for number in 001 011 013; do
    name=FOR$number
    [ "$side" = windows ] && name=for$number
    (cd model && run_program gwinspect answers "$name" 2> ../as-given)
    status=$?
    sed "s/^$name:/FOR$number:/" as-given >&2
    echo "gwinspect answers $number: status $status"
  done
  rm -r model as-given
}
compare gwinspect-usage run_program gwinspect
compare gwinspect-names-in-lower-case named_in_lower_case "$scratch/linux/check-example"
compare gwinspect-no-file no_such_file
compare gwinspect-directory directory_to_read
compare gwinspect-unknown-builder run_program gwinspect answers --as bogus FOR013

echo "$cases cases, $failures with differences, $harness_failures not run by the harness"
[ "$failures" -eq 0 ] || fail "the Windows programs differ from the Linux ones in $failures cases"
[ "$harness_failures" -eq 0 ] \
  || fail "the harness could not run the Windows side of $harness_failures cases (see NOT RUN above): no difference was found, but they were not compared"
[ "$round_trips" -eq "$trips" ] || fail "$((trips - round_trips)) round trips did not give the same file again"
echo "The Windows programs under Wine match the Linux programs byte for byte"
