# shellcheck shell=bash
# A test script's folder of its own under TMPDIR (or /tmp): removed when the script ends
# with status 0, kept, and named, when it fails. Source this file, then call
# work_folder NAME [ON_EXIT]: it sets $work and traps EXIT; ON_EXIT, a command, runs
# first on every way out (to stop what the script started).
work_folder() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/vorimel-$1-XXXXXX") || exit 1
  work_folder_on_exit=${2:-}
  trap 'work_folder_end $?' EXIT
}

work_folder_end() {
  [ -z "$work_folder_on_exit" ] || $work_folder_on_exit
  if [ "$1" -eq 0 ]; then
    rm -rf --one-file-system "$work"
  else
    echo "the test's files are kept in $work"
  fi
}
