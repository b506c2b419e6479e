# The build folder every script works in: FW_BUILD (`make BUILD=dir` passes
# it on; a relative one counts from the current directory), else build/ in
# the source tree. Builds, logs, the Wine prefixes, the test runs' work
# folders and their CUPS servers all live under it.
# Sourced by the other scripts; expects FW_ROOT to be set.

FW_BUILD=${FW_BUILD:-$FW_ROOT/build}
case $FW_BUILD in
  /*) ;;
  *) FW_BUILD=$PWD/$FW_BUILD ;;
esac
while [ "${#FW_BUILD}" -gt 1 ] && [ "${FW_BUILD%/}" != "$FW_BUILD" ]; do FW_BUILD=${FW_BUILD%/}; done
export FW_BUILD
