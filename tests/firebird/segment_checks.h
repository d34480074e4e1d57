// Checks of a segment index (sql/fulltext_udr.sql) against what the module
// makes of its documents and against a fresh index of the same documents.
#pragma once

#include <string>
#include <vector>

#include "expected_index.h"
#include "firebird_server.h"
#include "search_comparison.h"
#include "sql_connection.h"

namespace vexa::firebird {

// FT_DOCUMENTS lists exactly the expected documents, each with the module's
// CRC and its count of words.
void ExpectIndexedDocuments(Connection& connection, const Expectations& expected);

// Indexes `bodies` afresh, through DOCUMENTS of a new database `name` that
// the same server serves, and expects `tested` to list the same documents
// (FT_DOCUMENTS) and every call to find the same there.
void ExpectAnswersOfAFreshIndex(const ServedDatabase& served, const std::string& name, const Bodies& bodies,
                                Connection& tested, const std::vector<SearchCall>& calls);

// After FT_MAINTAIN with no other transaction about: one segment's pages
// and no change row are left.
void ExpectMergedIntoOneSegment(Connection& connection);

// The rows of DOCUMENTS: each ID with its BODY.
Bodies DocumentBodies(Connection& connection);

}  // namespace vexa::firebird
