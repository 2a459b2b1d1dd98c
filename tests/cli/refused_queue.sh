#!/usr/bin/env bash
# The kernel's I/O queue refused, as a container's filter or a busy system
# may refuse it, every time: tolvex reads the files one at a time, with the
# output of a run that may use the queue, and does not spin. Runs the
# program through the refuse_syscall helper that REFUSE_SYSCALL names.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

group_refused_queue() {
    local refuse=${REFUSE_SYSCALL:-}
    if [ "$platform" != posix ] || [ ${#emulator[@]} != 0 ] || [ -z "$refuse" ]; then
        skip "a refused queue" "needs the native Linux program and refuse_syscall"
        return
    fi
    if ! "$refuse" io_uring_enter EPERM true; then
        skip "a refused queue" "no seccomp filter can be set up here"
        return
    fi

    # Enough files, in one folder, that workers start and take up batches,
    # of named files and of the folder's listing, long before the caller is
    # through them (with 100, it may finish first).
    local names=() n sample
    mkdir many
    for n in $(seq 250); do
        for sample in *.god; do
            cp "$sample" "many/$n-$sample"
            names+=("many/$n-$sample")
        done
    done
    "${program[@]}" "${names[@]}" >free.out 2>free.err
    local status=$? out err
    out=$(cat free.out; echo .) err=$(cat free.err; echo .)

    local refused
    for refused in "io_uring_enter EAGAIN" "io_uring_enter EINTR" "io_uring_enter EPERM" \
        "io_uring_enter ENOSYS" "io_uring_setup EPERM" "io_uring_setup ENOSYS"; do
        # shellcheck disable=SC2086 # the call and its error are two words
        timeout 20 "$refuse" $refused "${program[@]}" "${names[@]}" >actual.out 2>actual.err
        check "${#names[@]} files with $refused refused" "$status" "$?" "${out%.}" "${err%.}"
    done
}

group_refused_queue
finish
