# Sourced by the build scripts. Where ccache is installed, compilers go through it, with paths taken
# relative to the tree: the package's build then reuses what the default build compiled with the same flags.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi
