# Shared by run.sh and test.sh: the Debian packages this program needs, and the
# printing service it talks to. Sourced, not run.

ORVIK_RUN_PACKAGES="qt6-base-dev libpng-dev libreoffice-calc libreoffice-dev cups cups-client libcups2-dev ghostscript fonts-wine fonts-dejavu-core fonts-wqy-zenhei xdg-utils"
ORVIK_BUILD_PACKAGES="cmake g++ make pkg-config"
ORVIK_TEST_PACKAGES="libgtest-dev qpdf poppler-utils dbus-daemon desktop-file-utils slurmctld slurmd slurm-client munge"

orvik_missing_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

# Installs what is missing when run as root; otherwise names the one command to run.
orvik_ensure_packages() {
    local missing
    missing=$(orvik_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Some Debian packages are missing. Install them with:" >&2
        echo "  sudo apt-get install -y --no-install-recommends $missing" >&2
        exit 1
    fi
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    # shellcheck disable=SC2086
    apt-get install -y --no-install-recommends $missing
}

# The printing service: started here when it is not running (no init system in CI).
orvik_start_cups() {
    lpstat -r >/dev/null 2>&1 && lpstat -r 2>/dev/null | grep -q 'is running' && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "The printing service (CUPS) is not running. Start it with: sudo service cups start" >&2
        return 1
    fi
    if command -v service >/dev/null 2>&1 && service cups start >/dev/null 2>&1; then
        :
    else
        /usr/sbin/cupsd
    fi
    local i
    for i in $(seq 1 50); do
        lpstat -r 2>/dev/null | grep -q 'is running' && return 0
        sleep 0.2
    done
    echo "The printing service (CUPS) did not start." >&2
    return 1
}

# The printer queue the office prints through, installed by the project's own script.
orvik_install_queue() {
    local script="$1/setup/printer/PrinterExcelToPDFWin7.bat"
    [ -x "$script" ] || return 0
    if [ "$(id -u)" -ne 0 ] && ! lpstat -p OrvikExcelToPDF >/dev/null 2>&1; then
        echo "The printer queue OrvikExcelToPDF is missing. Install it with: sudo $script" >&2
        return 1
    fi
    lpstat -p OrvikExcelToPDF >/dev/null 2>&1 || "$script"
}

orvik_build() {
    cmake -S "$1" -B "$1/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}" >/dev/null
    cmake --build "$1/build" -j"$(nproc)"
}
