// Every status-returning host operation passes this gate first, so that a test can make any one
// of them fail: the Nth gated call, or every call of one operation. Calls are counted (and, when
// asked, logged) whether they fail or not, so a test can learn the count of a run and then sweep
// N over it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_types.h"

namespace sim {

struct GatedCall {
    std::string suite;      // "SP Basic Suite" for the basic suite
    std::string operation;  // the field name in the suite's table, e.g. "AcquireSuite"
    HostStatus injected;    // the status the gate returned instead of running the call, 0 when it ran
};

class FailureGate {
public:
    // The nth gated call from now (1 = the next one) fails with status; one such call at a time.
    void FailNthCall(std::int64_t n, HostStatus status);
    // Every call of this operation fails with status until ClearFailures.
    void FailOperation(const std::string& suite, const std::string& operation, HostStatus status);
    void ClearFailures();

    std::int64_t CallCount() const { return callCount_; }
    void ResetCallCount();

    void SetLogging(bool on) { logging_ = on; }
    const std::vector<GatedCall>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    // Called by the suites: counts the call and answers the status to return instead of running
    // it, 0 when it may run.
    HostStatus Pass(const char* suite, const char* operation);

private:
    struct OperationFailure {
        std::string suite;
        std::string operation;
        HostStatus status;
    };

    std::int64_t callCount_ = 0;
    std::int64_t failAtCall_ = 0;  // absolute call number, 0 for none
    HostStatus failAtCallStatus_ = kNoError;
    std::vector<OperationFailure> operationFailures_;
    bool logging_ = false;
    std::vector<GatedCall> log_;
};

}  // namespace sim
