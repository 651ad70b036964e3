// Test-only text form of expression trees and statement records, so that
// the front end's output can be checked before any code is generated.
#pragma once

#include "compiler/internal.h"

#include <string>

namespace zun::tcx::test {

std::string print_tree(const Node* n);
std::string print_statement(const Stmt* s, int indent = 0);
std::string print_function(const FunctionDef& f);

}  // namespace zun::tcx::test
