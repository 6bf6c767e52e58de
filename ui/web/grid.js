// A record list as a grid that holds only the rows and columns in sight, asking the core for
// just those cells, as a list view with LVS_OWNERDATA does: a million records scroll as
// smoothly as ten. Its header sorts, its columns keep the width the user gives them, and typing
// moves to the record that starts with what was typed.

const kRowHeight = 17;     // CSS pixels of one record
const kHeaderHeight = 20;
const kTypingPause = 1000; // ms after which typing starts a new search

export class RecordGrid {
    // `element` is the grid's box; `source` answers count(), columns(), cells(from, to, first,
    // last), caption(column) and find(typed, focused), and `onHeader(column)` sorts.
    constructor(element, source, columnWidth, onHeader) {
        this.element = element;
        this.source = source;
        this.columnWidth = columnWidth;
        this.onHeader = onHeader;
        this.widths = new Map();  // a width the user set is kept while the page lives
        this.focused = -1;
        this.typed = '';
        this.typedAt = 0;
        element.setAttribute('role', 'grid');
        element.setAttribute('aria-readonly', 'true');
        if (element.tabIndex < 0) element.tabIndex = 0;  // keeps a place in the tab order
        element.classList.add('grid');
        this.header = document.createElement('div');
        this.header.className = 'grid-header';
        this.header.setAttribute('role', 'rowgroup');
        this.headerRow = document.createElement('div');
        this.headerRow.setAttribute('role', 'row');
        this.headerRow.setAttribute('aria-rowindex', '1');
        this.header.append(this.headerRow);
        this.scroller = document.createElement('div');
        this.scroller.className = 'grid-scroller';
        this.body = document.createElement('div');
        this.body.className = 'grid-body';
        this.body.setAttribute('role', 'rowgroup');
        this.scroller.append(this.body);
        element.append(this.header, this.scroller);
        this.scroller.addEventListener('scroll', () => this.draw());
        element.addEventListener('keydown', (e) => this.key(e));
        this.body.addEventListener('mousedown', (e) => {
            const row = e.target.closest('[data-record]');
            if (row) this.focus(Number(row.dataset.record));
        });
        new ResizeObserver(() => this.draw()).observe(this.scroller);
        this.refill();
    }

    width(column) { return this.widths.get(column) ?? this.columnWidth; }

    // Where column `column` starts. Worked out rather than kept for every column: a pasted row
    // may have hundreds of millions of cells, and only the few the user widened differ.
    start(column) {
        let x = column * this.columnWidth;
        for (const [c, width] of this.widths) {
            if (c < column) x += width - this.columnWidth;
        }
        return x;
    }

    // The list changed: its records, their order or its columns.
    refill() {
        const count = this.source.count();
        this.shownColumns = null;
        if (this.focused >= count) this.focused = -1;
        this.element.setAttribute('aria-rowcount', String(count + 1));
        this.element.setAttribute('aria-colcount', String(this.source.columns()));
        this.body.style.height = `${count * kRowHeight}px`;
        this.body.style.width = `${this.start(this.source.columns())}px`;
        this.draw();
    }

    // The columns [first, last) in sight.
    visibleColumns() {
        const left = this.scroller.scrollLeft, right = left + this.scroller.clientWidth;
        const columns = this.source.columns();
        let first = 0;
        let lo = 0, hi = columns;
        while (lo < hi) {  // the first column that ends past the left edge
            const mid = (lo + hi) >> 1;
            if (this.start(mid + 1) <= left) lo = mid + 1; else hi = mid;
        }
        first = lo;
        let last = first;
        while (last < columns && this.start(last) < right) ++last;
        return [first, last];
    }

    draw() {
        const count = this.source.count();
        const from = Math.min(count, Math.floor(this.scroller.scrollTop / kRowHeight));
        const to = Math.min(count, from + Math.ceil(this.scroller.clientHeight / kRowHeight) + 1);
        const [first, last] = this.visibleColumns();
        // The header and the rows' cells change only with the columns in sight; scrolling by
        // rows only puts other records in the rows the grid has, which spares the browser most of
        // a frame's work.
        const columns = `${first} ${last} ${this.start(last)}`;
        if (columns !== this.shownColumns) {
            this.shownColumns = columns;
            this.headerRow.replaceChildren(...this.headerCells(first, last));
            this.rows = [];
        }
        this.headerRow.style.transform = `translateX(${-this.scroller.scrollLeft}px)`;
        const cells = this.source.cells(from, to, first, last);
        const width = last - first;
        for (let k = 0; k < to - from; ++k) {
            const r = from + k;
            this.rows[k] ??= this.newRow(first, last);
            const row = this.rows[k];
            row.id = `${this.element.id}-row-${r}`;
            row.dataset.record = String(r);
            row.setAttribute('aria-rowindex', String(r + 2));
            row.style.top = `${r * kRowHeight}px`;
            if (r === this.focused) {
                row.setAttribute('aria-selected', 'true');
            } else {
                row.removeAttribute('aria-selected');
            }
            for (let c = 0; c < width; ++c) {
                const text = cells[k * width + c];
                const cell = row.children[c];
                if (cell.textContent !== text) cell.textContent = text;
            }
        }
        const shown = this.rows.slice(0, to - from);
        if (shown.length !== this.body.children.length || shown.some((row, k) => this.body.children[k] !== row)) {
            this.body.replaceChildren(...shown);
        }
        if (this.focused >= from && this.focused < to) {
            this.element.setAttribute('aria-activedescendant', `${this.element.id}-row-${this.focused}`);
        } else {
            this.element.removeAttribute('aria-activedescendant');
        }
    }

    // A row with empty cells for columns [first, last).
    newRow(first, last) {
        const row = document.createElement('div');
        row.setAttribute('role', 'row');
        row.className = 'grid-row';
        for (let c = first; c < last; ++c) {
            const cell = document.createElement('div');
            cell.setAttribute('role', 'gridcell');
            cell.setAttribute('aria-colindex', String(c + 1));
            cell.style.left = `${this.start(c)}px`;
            cell.style.width = `${this.width(c)}px`;
            row.append(cell);
        }
        return row;
    }

    headerCells(first, last) {
        const cells = [];
        for (let c = first; c < last; ++c) {
            const cell = document.createElement('div');
            cell.setAttribute('role', 'columnheader');
            cell.setAttribute('aria-colindex', String(c + 1));
            cell.className = 'grid-column';
            cell.style.left = `${this.start(c)}px`;
            cell.style.width = `${this.width(c)}px`;
            cell.textContent = this.source.caption(c);
            cell.addEventListener('click', (e) => {
                if (!e.target.classList.contains('grid-sizer')) this.onHeader(c);
            });
            const sizer = document.createElement('span');
            sizer.className = 'grid-sizer';
            sizer.addEventListener('pointerdown', (e) => this.resize(e, c));
            cell.append(sizer);
            cells.push(cell);
        }
        return cells;
    }

    // Drags the right edge of column `column`'s header to set its width.
    resize(event, column) {
        event.preventDefault();
        const startX = event.clientX, startWidth = this.width(column);
        const move = (e) => {
            this.widths.set(column, Math.max(8, startWidth + e.clientX - startX));
            this.refill();
        };
        const up = () => {
            window.removeEventListener('pointermove', move);
            window.removeEventListener('pointerup', up);
        };
        window.addEventListener('pointermove', move);
        window.addEventListener('pointerup', up);
    }

    focus(record) {
        this.focused = record;
        const top = record * kRowHeight;
        if (top < this.scroller.scrollTop) this.scroller.scrollTop = top;
        const bottom = top + kRowHeight - this.scroller.clientHeight;
        if (bottom > this.scroller.scrollTop) this.scroller.scrollTop = bottom;
        this.draw();
    }

    key(e) {
        const count = this.source.count();
        if (count === 0 || e.altKey || e.ctrlKey || e.metaKey) return;
        const page = Math.max(1, Math.floor(this.scroller.clientHeight / kRowHeight) - 1);
        const moves = {ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page};
        if (e.key in moves) {
            this.focus(Math.max(0, Math.min(count - 1, Math.max(this.focused, 0) + moves[e.key])));
        } else if (e.key === 'Home') {
            this.focus(0);
        } else if (e.key === 'End') {
            this.focus(count - 1);
        } else if (e.key.length === 1 || [...e.key].length === 1) {
            const now = performance.now();
            this.typed = now - this.typedAt > kTypingPause ? e.key : this.typed + e.key;
            this.typedAt = now;
            const found = this.source.find(this.typed, this.focused);
            if (found >= 0) this.focus(found);
        } else {
            return;
        }
        e.preventDefault();
    }
}
