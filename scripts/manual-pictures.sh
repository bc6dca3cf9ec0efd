#!/usr/bin/env bash
# Draws the windows again (`zajavki gallery`) and refreshes the pictures of the user's manual
# (help/manual/images), which the program carries in its resources. Run it after a window changes and
# commit the pictures with the change.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh" --target zajavki
drawn=$(mktemp -d)
trap 'rm -rf "$drawn"' EXIT
QT_QPA_PLATFORM=offscreen "$build/zajavki" gallery "$drawn" >/dev/null
# The pictures the manual shows, by the window's name.
pictures=(ftrFirstRun ftrMain ftrDoljn ftrSpecialty ftrPersonal ftrMPersonal ftrMSertif ftrTraining
          ftrProgr ftrLoadCatalogue ftrPlan ftrZajavki2023 ftrNewZajavki2023 ftrInsertSluch2023
          ftrMZajavki2023 ftrMoving ftrRestore ftrBackups ftrConfig ftrChangeLog ftrHelp ftrAbout)
for name in "${pictures[@]}"; do
  cp "$drawn/$name.png" "$here/help/manual/images/$name.png"
done
echo "Картинки руководства обновлены: ${#pictures[@]} шт. в help/manual/images"
