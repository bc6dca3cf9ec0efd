#!/usr/bin/env bash
# Builds the Debian package of the program (build-package/zajavki_VERSION_ARCH.deb), checks it
# with lintian and prints its path on the last line. Installs the Debian packages it needs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${PACKAGE_BUILD_DIR:-$here/build-package}
bash "$here/scripts/deps.sh"
tools=(dpkg-dev lintian file)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  echo "Устанавливаются пакеты: ${missing[*]}" >&2
  "${sudo_cmd[@]}" apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}" >/dev/null
fi
# Debian's hardening flags, as a package built by Debian's own tools gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DZAJAVKI_TESTS=OFF -DZAJAVKI_BENCH=OFF -DZAJAVKI_WERROR=${ZAJAVKI_WERROR:-OFF} >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls -t "$build"/zajavki_*.deb | head -1)
# lintian's errors fail the build; its warnings are printed.
lintian --fail-on error --suppress-tags bad-distribution-in-changes-file "$package"
echo "$package"
