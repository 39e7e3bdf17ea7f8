# Sourced by the benchmark scripts: best_of_three PREPARE COMMAND... prints the
# best wall time, in seconds, of three runs of COMMAND (its output discarded);
# PREPARE (a function name, or :) runs untimed before each.
best_of_three() {
    local prepare=$1; shift
    local best=""
    for _ in 1 2 3; do
        "$prepare"
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        best=$(awk -v b="$best" -v s="$start" -v e="$end" \
            'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
    done
    echo "$best"
}
