#!/bin/sh
# Installs the Debian 12 packages the project needs, only when one is missing: the build, the
# package (dpkg-dev and file for CPack's library dependencies), ./run (xvfb, imagemagick), and
# every program a test runs through a shell (socat, mbpoll, xwininfo from x11-utils, localedef),
# Qt's SVG module (chart export), the fuzzing: clang with libFuzzer and the sanitizers'
# run-time (libclang-rt-14-dev), and the package's documents and their checks: help2man makes
# the manual pages, which man (man-db, groff-base) renders; lintian, desktop-file-validate
# (desktop-file-utils) and appstreamcli (appstream) check the package; dbus-run-session
# (dbus-daemon) gives the notification test a private session bus. Publishing: libmosquitto,
# Qt's HTTP server (whose CMake files need the WebSockets module's, which its package does not
# pull in) and libsystemd to build; the mosquitto broker, its clients and prometheus (with
# promtool) for the tests. Qt's linguist tools (lupdate, lrelease and their CMake package) build
# the English translation.
set -e
PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-translations-l10n libgtest-dev libgmock-dev
libbenchmark-dev libmodbus-dev mbpoll socat dbus-daemon xvfb xauth imagemagick fonts-dejavu-core locales
qt6-qpa-plugins qt6-svg-dev dpkg-dev file x11-utils clang libclang-rt-14-dev help2man man-db
groff-base lintian desktop-file-utils appstream libmosquitto-dev qt6-httpserver-dev
qt6-websockets-dev libsystemd-dev mosquitto mosquitto-clients prometheus qt6-l10n-tools
qt6-tools-dev"
missing=""
for p in $PACKAGES; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $missing
