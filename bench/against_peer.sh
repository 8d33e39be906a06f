#!/usr/bin/env bash
# Tessella against the peer converter (hp2xx, when installed) on the same
# files, in one run: the surface plot that gnuplot writes (200 x 200,
# hidden3d, its body repeated to 60 MB), PA/PD polylines, the same as
# Polyline Encoded, and labels, fills and many small pens. Prints, per task,
# seconds (wall, and CPU: user + system, steadier on a shared machine), MB/s
# of input (wall), peak memory and the ratios (wall):
#   plot -> EMF (peer: -m svg), measure only (-E), plot -> PNG at the peer's
#   pixel count (surface only), and -j 1 against -j 2 on a folder of 200 plots.
#
#   bench/against_peer.sh [--big] [--before BIN] [--runs N] [--only TASKS]
#
# --big       also the surface at 600 MB (EMF and -E; memory must stay flat)
# --before    run BIN too on the same files and print after/before
# --runs N    best of N runs per figure (default 3; the peer and -j: 2)
# --only      comma-separated tasks among emf,measure,png,jobs (default all)
# --peer-timeout S   a peer run taking longer is stopped and shown as none (20;
#             ten times that on the 600 MB file)
# Installs nothing: gnuplot and hp2xx come from scripts/packages/bench.txt.
set -euo pipefail
source "$(dirname "$0")/common.sh"
python3 "$root/bench/against_peer.py" --bin "$bin" --work "$work" "$@"
