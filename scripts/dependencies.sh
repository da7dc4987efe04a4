# Debian packages the build, the tests and the programs need.
CALVORINE_PACKAGES=(cmake g++ qt6-base-dev qt6-base-private-dev libgtest-dev libbenchmark-dev xvfb xauth x11-utils
  fonts-dejavu-core imagemagick xdotool python3 xscreensaver passwd libxi6
  dpkg-dev file desktop-file-utils lintian clang libclang-rt-14-dev
  qt6-wayland x11-xserver-utils sway swayidle grim wtype procps)

install_dependencies() {
    local missing=()
    for package in "${CALVORINE_PACKAGES[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
