// A name lookup module that takes 20 s over every name, as mdns4_minimal and systemd's resolve can
// on a ship's network: "hosts: files kwwait" in the test's own nsswitch.conf.

#include <cerrno>

#include <netdb.h>
#include <nss.h>
#include <unistd.h>

namespace {

nss_status waitThenNotFound(int* error, int* hostError) {
    ::sleep(20);
    *error = ENOENT;
    *hostError = HOST_NOT_FOUND;
    return NSS_STATUS_NOTFOUND;
}

} // namespace

extern "C" {

nss_status _nss_kwwait_gethostbyname4_r(const char*, gaih_addrtuple**, char*, size_t, int* error,
                                        int* hostError, int32_t*) {
    return waitThenNotFound(error, hostError);
}

nss_status _nss_kwwait_gethostbyname2_r(const char*, int, hostent*, char*, size_t, int* error,
                                        int* hostError) {
    return waitThenNotFound(error, hostError);
}

} // extern "C"
