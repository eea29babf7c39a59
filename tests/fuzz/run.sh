#!/bin/sh
# Runs one fuzz target briefly: run.sh FUZZER WORKDIR SEEDS [libFuzzer options…]
# New inputs go to a fresh WORKDIR/corpus (the seeds in the source tree are only read), crash
# inputs to WORKDIR. Exits 200 (skipped) when the fuzz build made no such target.
fuzzer=$1 work=$2 seeds=$3
shift 3
[ -x "$fuzzer" ] || exit 200
rm -rf "$work/corpus"
mkdir -p "$work/corpus"
exec "$fuzzer" -artifact_prefix="$work/" "$@" "$work/corpus" "$seeds"
