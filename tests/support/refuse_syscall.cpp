// Runs a program that the system refuses one call, as a container's filter
// or a busy kernel may:
//   refuse_syscall CALL ERROR PROGRAM [ARGUMENT...]
// makes every CALL (io_uring_setup or io_uring_enter) of PROGRAM and of
// what it starts fail with ERROR (EAGAIN, EINTR, EPERM or ENOSYS), through
// a seccomp filter. Exits with 125 where no such filter can be set up.
// x86-64 Linux only.
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <string_view>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Named {
    std::string_view name;
    unsigned value;
};

constexpr Named calls[] = {{"io_uring_setup", __NR_io_uring_setup},
                           {"io_uring_enter", __NR_io_uring_enter}};
constexpr Named errors[] = {
    {"EAGAIN", EAGAIN}, {"EINTR", EINTR}, {"EPERM", EPERM}, {"ENOSYS", ENOSYS}};

template <std::size_t n>
const Named* find(const Named (&table)[n], std::string_view name)
{
    for (const Named& entry : table) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

int cannot(const char* what)
{
    std::fprintf(stderr, "refuse_syscall: %s: %s\n", what, std::strerror(errno));
    return 125;
}

}  // namespace

int main(int argc, char** argv)
{
    const Named* call = argc > 3 ? find(calls, argv[1]) : nullptr;
    const Named* error = argc > 3 ? find(errors, argv[2]) : nullptr;
    if (!call || !error) {
        std::fprintf(stderr,
                     "usage: refuse_syscall io_uring_setup|io_uring_enter "
                     "EAGAIN|EINTR|EPERM|ENOSYS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    // Another architecture's calls have other numbers: those are killed.
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call->value, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (error->value & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return cannot("no new privileges");
    if (::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        return cannot("seccomp filter");
    // Called with arguments it refuses anyway (no ring, no room), the call
    // fails with the filter's error only if the filter holds.
    if (::syscall(call->value, -1, 0, 0, 0, 0, 0) != -1 || errno != static_cast<int>(error->value))
        return cannot("the filter does not hold");
    ::execvp(argv[3], argv + 3);
    return cannot(argv[3]);
}
