// The execution-state seam in unit tests: every request with the thread that made it. A
// worker's requests come before it lowers busy, so the UI thread reads them after that. And
// every shutdown block reason given (an empty text: taken back).
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using ExecutionRequest = std::pair<DWORD, EXECUTION_STATE>; // thread, state

std::vector<ExecutionRequest>& executionRequests();

std::vector<std::wstring>& shutdownBlockReasons();
