# Sourced by the release checks: a fresh Wine prefix of their own, a stand-in Access registered as
# the full product registers itself, and a launch of a released launcher against it.
# Expects top, build, version and edition to be set, and fail() to count a failure.

# The launchers a release holds: Mallowbrook.exe serves the configured edition.
launchers=(Mallowbrook.exe)
for year in 2002 2003 2007 2010 2013 2016; do
  [ "$year" = "$edition" ] || launchers+=("Mallowbrook$year.exe")
done

# A Unix path as the prefix sees it.
windows_path() { echo "Z:$(tr / '\\' <<<"$(readlink -f "$1")")"; }

# start_bench NAME: a fresh prefix under the build folder, stopped when the script ends.
start_bench() {
  bench=$build/$1
  "$top/scripts/wine-bench" start "$bench" >/dev/null || exit 1
  trap '"$top/scripts/wine-bench" stop "$bench"' EXIT
  prefix=$bench/prefix
}
run() { MALLOWBROOK_BENCH="$bench" "$top/scripts/wine-run" "$@"; }

# The stand-in Access of the edition Mallowbrook.exe serves, with its object library beside it.
install_standin_access() {
  declare -A office=([2002]=OFFICE10 [2003]=OFFICE11 [2007]=OFFICE12 [2010]=OFFICE14 [2013]=OFFICE15 [2016]=OFFICE16)
  declare -A progid=([2002]=10 [2003]=11 [2007]=12 [2010]=14 [2013]=15 [2016]=16)
  local folder="C:\\Program Files\\Microsoft Office\\${office[$edition]}"
  access_folder="$prefix/drive_c/Program Files/Microsoft Office/${office[$edition]}"
  mkdir -p "$access_folder" "$prefix/drive_c/Apps"
  cp "$build/bin/standins/MSACCESS.EXE" "$build/bin/MSACC.OLB" "$access_folder/"
  run reg add "HKCR\\Access.Application.${progid[$edition]}\\shell\\open\\command" /ve \
    /d "\"$folder\\MSACCESS.EXE\" /NOSTARTUP \"%1\"" /f >/dev/null
  run reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18' /f /reg:64 >/dev/null
}

# check_launch WINDOWS-PATH: that Mallowbrook.exe, with -LOGGING, starts the stand-in Access with
# the database and sees its window.
check_launch() {
  rm -f "$access_folder/MSACCESS.EXE.commandline.txt" "$bench/home/Desktop/MallowbrookLog5.txt"
  STANDIN_LIFETIME=3000 RUNRAW_ARGUMENTS='-LOGGING -WAIT=1 "C:\Apps\Demo.mdb"' run "$build/bin/runraw.exe" "$1"
  local rc=$? received log
  [ $rc -eq 0 ] || fail "$1 exited with $rc"
  received=$(tr -d '\r' <"$access_folder/MSACCESS.EXE.commandline.txt" 2>/dev/null)
  grep -qF '"C:\Apps\Demo.mdb"' <<<"$received" || fail "Access received: '$received'"
  log=$(tr -d '\r' <"$bench/home/Desktop/MallowbrookLog5.txt" 2>/dev/null)
  grep -qx "Mallowbrook_$edition version: $version" <<<"$log" || fail "no version line in the log"
  grep -qx 'Found main Access window - shutting down' <<<"$log" || fail "the launch did not see Access's window"$'\n'"$log"
}

# signed FILE: whether the file carries an Authenticode signature.
signed() {
  local signature
  signature=$(mktemp -u) || return 2
  osslsigncode extract-signature -in "$1" -out "$signature" >/dev/null 2>&1
  local rc=$?
  rm -f "$signature"
  return $rc
}
