#pragma once

namespace engine {
class Table;
}

namespace store {

// Deletes the current item of `items` (an open table object on Towar, browsing) together with
// the rows that belong to that item alone: its attribute values (Opis), purchase prices (Cena)
// and drawing assignments (Grafika), the Sklada rows where it is the whole or the part and the
// Zamienne rows where it is either side. Order lines and loans are records of what happened and
// keep their rows. All in one transaction: when anything fails (the item or one of its rows is
// locked or was deleted by another installation) nothing is deleted and the engine's error is
// thrown. Afterwards `items` stands where its own delete leaves it: on the next row, or on the
// previous one after the last.
void deleteItem(engine::Table& items);

} // namespace store
