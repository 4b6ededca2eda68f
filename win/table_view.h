// Puts a table model on screen in a list view: its columns once, its rows
// whenever the model changes. The cells come as the page rules made them.
#pragma once

#include <vector>

#include "base/table_model.h"
#include "win/controls.h"

// Inserts the columns into a list that has none, in order.
void InsertColumns(const ListView& list, const std::vector<TableColumn>& columns);

// Replaces every row of a plain list view (no row records of its own) by the
// model's rows, each row's id as its item data; drawing is held back until the
// last row is in.
void ShowRows(const ListView& list, const TableRows& rows);
