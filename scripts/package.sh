#!/usr/bin/env bash
# Builds the Debian package from the release build, installing what is missing:
#   bash scripts/package.sh      -> build/vellumo_<version>_<arch>.deb
# and checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
# lintian looks at the package as a whole; the rest is in the common list.
bash scripts/install-deps.sh lintian
cmake --preset release >/dev/null
cmake --build --preset release

desktop-file-validate data/vellumo.desktop
appstreamcli validate --no-net metainfo/*.metainfo.xml

rm -f build/vellumo_*.deb
cpack --config build/release/CPackConfig.cmake -B build
rm -rf build/_CPack_Packages
package=$(ls build/vellumo_*.deb)
echo "Built $package"
# Errors fail the script; warnings and notes are shown.
lintian --fail-on error "$package"
