#include "failure_gate.h"

namespace sim {

void FailureGate::FailNthCall(std::int64_t n, HostStatus status) {
    failAtCall_ = n > 0 ? callCount_ + n : 0;
    failAtCallStatus_ = status;
}

void FailureGate::FailOperation(const std::string& suite, const std::string& operation, HostStatus status) {
    for (OperationFailure& failure : operationFailures_) {
        if (failure.suite == suite && failure.operation == operation) {
            failure.status = status;
            return;
        }
    }
    operationFailures_.push_back({suite, operation, status});
}

void FailureGate::ClearFailures() {
    failAtCall_ = 0;
    failAtCallStatus_ = kNoError;
    operationFailures_.clear();
}

void FailureGate::ResetCallCount() {
    // A pending Nth-call failure keeps its distance from now.
    if (failAtCall_ != 0) failAtCall_ -= callCount_;
    callCount_ = 0;
}

HostStatus FailureGate::Pass(const char* suite, const char* operation) {
    ++callCount_;
    HostStatus injected = kNoError;
    if (failAtCall_ != 0 && callCount_ == failAtCall_) {
        injected = failAtCallStatus_;
        failAtCall_ = 0;
    }
    for (const OperationFailure& failure : operationFailures_) {
        if (injected == kNoError && failure.suite == suite && failure.operation == operation) {
            injected = failure.status;
        }
    }
    if (logging_) log_.push_back({suite, operation, injected});
    return injected;
}

}  // namespace sim
