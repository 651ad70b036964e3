// SPDX-License-Identifier: MIT
// Function bodies: statements, blocks and their declarations. The
// declaration parser hands each definition's body here once the parameters
// are known; the body's code follows from the statement trees.
#include "compiler/internal.h"

namespace zun::tcx {

// compound-statement of a function definition. Statements are not compiled
// yet: the body is read over brace by brace and yields no code, while the
// scope, depth and body state are kept as the statement parser will need.
void function_body(TranslationUnit& tu, Symbol* fn) {
    tu.decl.in_body = true;
    tu.depth = 0;
    ++tu.decl.block;
    int nest = 0;
    do {
        if (tu.scan.tok == Tok::Eof) {
            report(tu, 19);
            throw Fatal{1};
        }
        if (tu.scan.tok == Tok::LBrace) ++nest;
        if (tu.scan.tok == Tok::RBrace) --nest;
        scan_token(tu);
    } while (nest > 0);
    tu.depth = 1;
    tu.decl.in_body = false;
    tu.locals = Scope{};
    tu.local_tags = Scope{};
    (void)fn;
}

}  // namespace zun::tcx
