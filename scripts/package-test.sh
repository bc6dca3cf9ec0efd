#!/usr/bin/env bash
# Builds the Debian package, installs it, runs the installed program as an office would, removes
# the package and checks that nothing of it is left but the user's data folder. Needs root (or
# sudo) for dpkg.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
package=$(bash "$here/scripts/package.sh" | tail -1)
echo "Пакет: $package ($(du -k "$package" | cut -f1) КБ)"

fail() { echo "ОШИБКА: $*" >&2; exit 1; }
installed_files() { dpkg-deb -c "$package" | awk '{print substr($6, 2)}' | grep -v '/$'; }

"${sudo_cmd[@]}" dpkg -i "$package" >/dev/null 2>&1 ||
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -f install -y -q >/dev/null
dpkg-query -W -f='${Status}' zajavki | grep -q 'install ok installed' || fail "пакет не установился"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The installed program, not the build's.
program=/usr/bin/zajavki
[ "$(command -v zajavki)" = "$program" ] || fail "zajavki не найдена в /usr/bin"
version=$(dpkg-query -W -f='${Version}' zajavki)
[ "$($program --version)" = "zajavki $version" ] || fail "zajavki --version не совпадает с версией пакета $version"
man -w zajavki >/dev/null || fail "страница руководства zajavki(1) не найдена"
command -v desktop-file-validate >/dev/null && desktop-file-validate /usr/share/applications/ru.tovex.Zajavki.desktop

root="$work/office"
$program demo --root "$root" >/dev/null || fail "zajavki demo не сработала"
[ -f "$root/Base/tovex.sqlite" ] || fail "zajavki demo не создала базу"
[ "$(stat -c %a "$root")" = 700 ] || fail "папка программы доступна не только её владельцу"
[ "$(stat -c %a "$root/Base/tovex.sqlite")" = 600 ] || fail "база доступна не только её владельцу"
$program print 116 2026 "$work/zajavka.xlsx" --root "$root" >/dev/null || fail "zajavki print не сработала"
python3 -c "import zipfile, sys; zipfile.ZipFile(sys.argv[1]).testzip()" "$work/zajavka.xlsx" ||
  fail "печатная форма повреждена"
QT_QPA_PLATFORM=offscreen $program gallery "$work/gallery" >/dev/null 2>&1 || fail "zajavki gallery не сработала"
drawn=$(ls "$work/gallery"/*.png | wc -l)
[ "$drawn" -ge 30 ] || fail "zajavki gallery нарисовала только $drawn окон"

files=$(installed_files)
"${sudo_cmd[@]}" dpkg --purge zajavki >/dev/null
for f in $files; do
  [ ! -e "$f" ] || fail "после удаления пакета остался $f"
done
[ -d /usr/share/zajavki ] && fail "после удаления пакета осталась папка /usr/share/zajavki"
[ -f "$root/Base/tovex.sqlite" ] || fail "удаление пакета затронуло данные пользователя"
echo "Пакет установлен, проверен и удалён: версия $version, $drawn окон нарисовано, данные пользователя на месте."
