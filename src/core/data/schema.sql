-- Tarvo working database (Tarvo.mdb).
-- Storage contract: identifiers INTEGER PRIMARY KEY AUTOINCREMENT; references,
-- codes and integers INTEGER; quantities INTEGER holding value x 10 000;
-- dates REAL holding the OLE date (days since 30 December 1899); flags
-- INTEGER 0/1; texts TEXT (UTF-8). No foreign keys: the program deletes child
-- rows itself, in a fixed order.

CREATE TABLE Cover (
    cover_id        INTEGER PRIMARY KEY AUTOINCREMENT,
    cover_name      TEXT,
    cover_weight    INTEGER,
    cover_mat       INTEGER,
    cover_type      INTEGER,
    cover_org       INTEGER,
    cover_pay       INTEGER,
    cover_stat      INTEGER,
    cover_reusable  INTEGER,
    cover_note      TEXT,
    deleted         INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX idx_cover_name ON Cover (cover_name);
CREATE INDEX idx_cover_deleted ON Cover (deleted);

CREATE TABLE CompCover (
    ccover_id       INTEGER PRIMARY KEY AUTOINCREMENT,
    ccover_name     TEXT,
    ccover_note     TEXT
);

CREATE TABLE CompCover_Item (
    ccover_id       INTEGER,
    cover_id        INTEGER,
    cp_qtycover     INTEGER,
    cp_qtyprod      INTEGER,
    cp_usealways    INTEGER,
    cp_usefrom      INTEGER,
    cp_useto        INTEGER,
    cover_type      INTEGER,
    cover_org       INTEGER,
    cover_pay       INTEGER
);
CREATE INDEX idx_compcover_item_ccover ON CompCover_Item (ccover_id);
CREATE INDEX idx_compcover_item_cover ON CompCover_Item (cover_id);

CREATE TABLE Product (
    prod_id         INTEGER PRIMARY KEY AUTOINCREMENT,
    prod_name       TEXT,
    prod_katalog    TEXT,
    prod_unit       TEXT,
    prod_source     INTEGER,
    prod_scrid      INTEGER,
    deleted         INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX idx_product_name ON Product (prod_name);
CREATE INDEX idx_product_source ON Product (prod_source, prod_scrid);
CREATE INDEX idx_product_deleted ON Product (deleted);

CREATE TABLE Prod_CoverDT (
    dt_id           INTEGER PRIMARY KEY AUTOINCREMENT,
    prod_id         INTEGER,
    dt_from         REAL
);
CREATE INDEX idx_prod_coverdt_prod ON Prod_CoverDT (prod_id, dt_from);

CREATE TABLE Prod_Cover (
    cp_id           INTEGER PRIMARY KEY AUTOINCREMENT,
    dt_id           INTEGER,
    cover_id        INTEGER,
    cp_qtycover     INTEGER,
    cp_qtyprod      INTEGER,
    cp_usealways    INTEGER,
    cp_usefrom      INTEGER,
    cp_useto        INTEGER,
    cover_type      INTEGER,
    cover_org       INTEGER,
    cover_pay       INTEGER
);
CREATE INDEX idx_prod_cover_dt ON Prod_Cover (dt_id);
CREATE INDEX idx_prod_cover_cover ON Prod_Cover (cover_id);

CREATE TABLE Move (
    move_id         INTEGER PRIMARY KEY AUTOINCREMENT,
    move_num        TEXT,
    move_date       REAL,
    move_type       INTEGER,
    move_export     INTEGER,
    move_source     INTEGER
);
CREATE INDEX idx_move_date ON Move (move_date);
CREATE INDEX idx_move_source ON Move (move_source, move_num);
CREATE INDEX idx_move_num ON Move (move_num);

CREATE TABLE Move_Prod (
    mvprod_id       INTEGER PRIMARY KEY AUTOINCREMENT,
    move_id         INTEGER,
    prod_id         INTEGER,
    mvprod_qty      INTEGER
);
CREATE INDEX idx_move_prod_move ON Move_Prod (move_id);
CREATE INDEX idx_move_prod_prod ON Move_Prod (prod_id);

CREATE TABLE Move_Cover (
    mvcover_id      INTEGER PRIMARY KEY AUTOINCREMENT,
    move_id         INTEGER,
    mvprod_id       INTEGER,
    cover_id        INTEGER,
    mvcover_qty     INTEGER,
    cover_type      INTEGER,
    cover_org       INTEGER,
    cover_pay       INTEGER
);
CREATE INDEX idx_move_cover_move ON Move_Cover (move_id);
CREATE INDEX idx_move_cover_mvprod ON Move_Cover (mvprod_id);
CREATE INDEX idx_move_cover_cover ON Move_Cover (cover_id);

CREATE TABLE CoverDiscard (
    disc_id         INTEGER PRIMARY KEY AUTOINCREMENT,
    cover_id        INTEGER,
    disc_date       REAL,
    disc_type       INTEGER,
    disc_qty        INTEGER
);
CREATE INDEX idx_coverdiscard_cover ON CoverDiscard (cover_id);
CREATE INDEX idx_coverdiscard_date ON CoverDiscard (disc_date);

CREATE TABLE TmpCover_Item (
    ti_id           INTEGER PRIMARY KEY AUTOINCREMENT,
    cover_id        INTEGER,
    cp_qtycover     INTEGER,
    cp_qtyprod      INTEGER,
    cp_usealways    INTEGER,
    cp_usefrom      INTEGER,
    cp_useto        INTEGER,
    cover_type      INTEGER,
    cover_org       INTEGER,
    cover_pay       INTEGER
);

CREATE TABLE TmpID (
    id              INTEGER
);
CREATE INDEX idx_tmpid_id ON TmpID (id);
