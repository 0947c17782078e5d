// The adjust tools from the command line: gestures of the "Path adjust Tool" and "Point adjust Tool"
// given as points of the drawing, sent to the plug-in as the host sends a user's mouse, and the
// restore command with the user's answer to its question.
#pragma once

#include <string>
#include <vector>

#include "run_command.h"

// path-adjust P1 P2 P3 P4: a drag from P1 to P2 on the object that stays, then from P3 to P4 on the
// object that moves.
std::string CheckPathAdjust(const CommandRow& row, const std::vector<std::string>& arguments);
void RunPathAdjust(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments);

// point-adjust P1 P2 [C]: a drag from P1 on the object that stays to P2 on the one that moves, then a
// click at C (else at P2) that chooses the orientation.
std::string CheckPointAdjust(const CommandRow& row, const std::vector<std::string>& arguments);
void RunPointAdjust(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments);

// point-adjust2 P1 P2 P3 P4: a drag from P1 to P2 along one path of the object that stays, then from P3
// on the object that moves towards P4.
std::string CheckPointAdjust2(const CommandRow& row, const std::vector<std::string>& arguments);
void RunPointAdjust2(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments);

// tool path|point EVENT...: the tool selected, then each event: move:X,Y down:X,Y drag:X,Y up:X,Y
// or click:X,Y (a move, a press and a release there).
std::string CheckToolEvents(const CommandRow& row, const std::vector<std::string>& arguments);
void RunToolEvents(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments);

// restore [yes|no]: a double-click on the tool's icon, answering its question.
std::string CheckRestore(const CommandRow& row, const std::vector<std::string>& arguments);
void RunRestore(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments);
