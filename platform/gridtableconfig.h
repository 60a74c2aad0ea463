#pragma once

class QTableView;

// The settings a grid's cell view and its label-column overlay share: no editing by Qt, one
// contiguous block of cells, no row header, fixed sections.
void configureGridTable(QTableView& view);
