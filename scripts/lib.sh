# Shared by the scripts: where the build trees live and how they are configured.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() {  # build_dir build_type sanitize
    local dir=$1 type=$2 sanitize=$3
    cmake -S "$repo" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DCINDRAL_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

# The fuzz tree: clang with libFuzzer, ASan and UBSan; only the fuzz targets and what they
# link are built. Each ctest test of label "fuzz" runs one target for `seconds`.
configure_fuzz() {  # build_dir seconds
    local dir=$1 seconds=$2
    CC=clang CXX=clang++ cmake -S "$repo" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DCINDRAL_SANITIZE=ON -DCINDRAL_FUZZ=ON \
        -DCINDRAL_BUILD_BENCH=OFF -DCINDRAL_FUZZ_SECONDS="$seconds" >/dev/null
    cmake --build "$dir" -j "$jobs" --target fuzz_targets
}
