# Shared by the scripts: where the build trees live and how they are configured.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() {  # build_dir build_type sanitize
    local dir=$1 type=$2 sanitize=$3
    cmake -S "$repo" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DCINDRAL_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j "$jobs"
}
