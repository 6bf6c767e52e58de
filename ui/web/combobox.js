// An editable chooser as an ARIA combobox: a text field that keeps whatever is typed in it,
// with a list of the column numbers that opens below it. Alt+Down or Down opens the list, Up and
// Down move through it, Enter picks, Escape closes it and keeps the text. A list may have as
// many entries as a pasted row has cells, so only those in sight are in the page.

const kShown = 12;  // entries in sight at once

export class ColumnChooser {
    // `input` is the text field; the list goes into `container` beside it.
    constructor(input, container) {
        this.input = input;
        this.entries = [];
        this.active = -1;   // the entry the keyboard is on
        this.first = 0;     // the first entry in sight
        this.list = document.createElement('ul');
        this.list.id = `${input.id}-entries`;
        this.list.className = 'chooser-list';
        this.list.style.font = input.style.font;
        this.list.setAttribute('role', 'listbox');
        this.list.setAttribute('aria-label', input.getAttribute('aria-label') ?? input.id);
        this.list.hidden = true;
        container.append(this.list);
        input.setAttribute('role', 'combobox');
        input.setAttribute('aria-autocomplete', 'none');
        input.setAttribute('aria-controls', this.list.id);
        input.setAttribute('aria-expanded', 'false');
        input.addEventListener('keydown', (e) => this.key(e));
        input.addEventListener('blur', () => this.close());
        // A click picks before the field loses the focus to the list.
        this.list.addEventListener('mousedown', (e) => {
            e.preventDefault();
            const option = e.target.closest('[role="option"]');
            if (option) this.pick(Number(option.dataset.entry));
        });
        this.list.addEventListener('wheel', (e) => {
            e.preventDefault();
            this.show(this.first + Math.sign(e.deltaY) * 3);
        }, {passive: false});
    }

    // The entries offered from now on; the text typed is cleared, as the other windows do when
    // their list changes.
    setEntries(entries) {
        this.entries = entries;
        this.input.value = '';
        this.close();
    }

    get isOpen() { return !this.list.hidden; }

    open() {
        if (this.entries.length === 0) return;
        const typed = this.entries.indexOf(this.input.value.trim());
        this.list.hidden = false;
        this.input.setAttribute('aria-expanded', 'true');
        this.place();
        this.move(typed >= 0 ? typed : 0);
    }

    close() {
        if (!this.isOpen) return;
        this.list.hidden = true;
        this.input.setAttribute('aria-expanded', 'false');
        this.input.removeAttribute('aria-activedescendant');
        this.active = -1;
    }

    pick(entry) {
        this.input.value = this.entries[entry];
        this.close();
        this.input.dispatchEvent(new Event('input', {bubbles: true}));
    }

    // The list just below the field, as wide as it.
    place() {
        const style = this.list.style;
        style.left = this.input.style.left;
        style.width = this.input.style.width;
        style.top = `${this.input.offsetTop + this.input.offsetHeight}px`;
    }

    move(entry) {
        this.active = Math.max(0, Math.min(this.entries.length - 1, entry));
        if (this.active < this.first) this.first = this.active;
        if (this.active >= this.first + kShown) this.first = this.active - kShown + 1;
        this.show(this.first);
    }

    // Puts entries [first, first + kShown) in the list, each with its place in the whole.
    show(first) {
        this.first = Math.max(0, Math.min(first, this.entries.length - kShown));
        const options = [];
        for (let k = this.first; k < Math.min(this.entries.length, this.first + kShown); ++k) {
            const option = document.createElement('li');
            option.id = `${this.list.id}-${k}`;
            option.setAttribute('role', 'option');
            option.setAttribute('aria-setsize', String(this.entries.length));
            option.setAttribute('aria-posinset', String(k + 1));
            option.setAttribute('aria-selected', String(k === this.active));
            option.dataset.entry = String(k);
            option.textContent = this.entries[k];
            options.push(option);
        }
        this.list.replaceChildren(...options);
        if (this.active >= 0) {
            this.input.setAttribute('aria-activedescendant', `${this.list.id}-${this.active}`);
        }
    }

    key(e) {
        if (!this.isOpen) {
            if (e.key === 'ArrowDown' && !e.ctrlKey && !e.metaKey) {
                this.open();
                e.preventDefault();
            }
            return;
        }
        const moves = {ArrowDown: 1, ArrowUp: -1, PageDown: kShown, PageUp: -kShown};
        if (e.key in moves && !e.altKey) {
            this.move(this.active + moves[e.key]);
        } else if (e.key === 'ArrowUp' && e.altKey) {
            this.close();
        } else if (e.key === 'Enter') {
            this.pick(this.active);
        } else if (e.key === 'Escape') {
            this.close();
        } else {
            if (e.key === 'Tab') this.close();
            return;
        }
        e.preventDefault();
        e.stopPropagation();
    }
}
